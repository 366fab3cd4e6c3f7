// Process image paths and bounded overlapped waits.
#include "system/ProcessIo.h"

#include <vector>

std::string ProcessImagePath(HANDLE process) {
    std::vector<char> buffer(32768);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!process || !QueryFullProcessImageNameA(process, 0, buffer.data(), &size)) return {};
    return std::string(buffer.data(), size);
}

bool FinishOverlapped(HANDLE file, OVERLAPPED& io, BOOL started, DWORD timeoutMs, DWORD& transferred) {
    // A message longer than the buffer still completes (as a failure the caller sees).
    if (!started && GetLastError() != ERROR_IO_PENDING && GetLastError() != ERROR_MORE_DATA) return false;
    if (WaitForSingleObject(io.hEvent, timeoutMs) != WAIT_OBJECT_0) {
        CancelIo(file);
        GetOverlappedResult(file, &io, &transferred, TRUE);
        return false;
    }
    return GetOverlappedResult(file, &io, &transferred, FALSE) != FALSE;
}
