// File existence, reads and the atomic replace writer.
#include "system/Files.h"

#include <windows.h>

#include "system/Text.h"
#include "system/WinHandles.h"

bool FileExists(const std::string& path) {
    if (TrimNull(path).empty()) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && attributes != 0;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, std::size_t maxBytes,
                                                  bool wholeFile) {
    const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
    const auto fileSize = static_cast<unsigned long long>(size.QuadPart);
    if (wholeFile && fileSize > maxBytes) return std::nullopt;
    const std::size_t wanted = fileSize < maxBytes ? static_cast<std::size_t>(fileSize) : maxBytes;

    std::vector<uint8_t> bytes(wanted);
    std::size_t done = 0;
    while (done < wanted) {
        const std::size_t chunk = wanted - done < (1u << 20) ? wanted - done : (1u << 20);
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(chunk), &got, nullptr))
            return std::nullopt;
        if (got == 0) break;  // the file shrank since its size was taken
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

namespace {

// An anti-virus scanner or the search indexer opens a file that was just written, without
// sharing, for a moment; Windows then refuses to open or replace it. Such a refusal is waited
// out for about half a second, in short steps, before the write counts as failed.
constexpr DWORD kHeldFileWaitMs = 500;
constexpr DWORD kHeldFileStepMs = 50;

class HeldFileWait {
public:
    HeldFileWait() : start_(GetTickCount()) {}
    // After a failed call with its error: true, after one pause, when another program seems to
    // hold the file and there is time left.
    bool Again(DWORD error) const {
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_LOCK_VIOLATION)
            return false;
        if (GetTickCount() - start_ >= kHeldFileWaitMs) return false;
        Sleep(kHeldFileStepMs);
        return true;
    }

private:
    DWORD start_;
};

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = bytes.size() - done < (1u << 20) ? bytes.size() - done : (1u << 20);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

// Fills the temporary file; the handle is closed before the move, which needs it closed.
bool WriteTemporaryFile(const std::string& tempPath, const std::vector<uint8_t>& bytes, const HeldFileWait& wait) {
    HANDLE opened = INVALID_HANDLE_VALUE;
    while ((opened = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr)) == INVALID_HANDLE_VALUE) {
        if (!wait.Again(GetLastError())) return false;
    }
    const UniqueHandle file(opened);
    // Flushed before the rename so a crash right after it cannot leave a renamed but empty
    // file in place of the old one.
    return WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (TrimNull(path).empty()) return false;
    // Same folder as the target, so the move is a rename on one volume. A fixed name means a
    // crash leaves at most one stray file, which the next save overwrites.
    const std::string tempPath = path + ".tmp";
    // Windows refuses to replace a read-only file; Wine running as root does not. Refuse it
    // here so the user's write protection holds everywhere.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    const HeldFileWait wait;
    if (WriteTemporaryFile(tempPath, bytes, wait)) {
        for (;;) {
            if (MoveFileExA(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                return true;
            if (!wait.Again(GetLastError())) break;
        }
    }
    // Nothing to do if the temporary file was never created.
    DeleteFileA(tempPath.c_str());
    return false;
}
