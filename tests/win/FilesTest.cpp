// FileExists and the atomic replace writer against Wine's file system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "system/Files.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "OrvoFilesTest\\";
        Clean();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        path_ = folder_ + "data.bin";
    }
    void TearDown() override { Clean(); }
    void Clean() {
        for (const char* name : {"data.bin", "data.bin.tmp"}) {
            const std::string file = folder_ + name;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
            RemoveDirectoryA(file.c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    Bytes Read() {
        const auto bytes = ReadFileBytes(path_, 1u << 20, true);
        return bytes ? *bytes : Bytes{};
    }
    std::string folder_;
    std::string path_;
};

}  // namespace

TEST_F(Files, FileExistsForFilesAndFoldersOnly) {
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists("   "));
    EXPECT_FALSE(FileExists(std::string("\0C:\\", 4)));
    EXPECT_FALSE(FileExists(path_));
    EXPECT_TRUE(FileExists(folder_));          // with its trailing backslash, as start-up asks
    EXPECT_TRUE(FileExists(folder_.substr(0, folder_.size() - 1)));
    ASSERT_TRUE(ReplaceFileContents(path_, Bytes{1}));
    EXPECT_TRUE(FileExists(path_));
}

TEST_F(Files, ReplaceWritesExactlyTheBytes) {
    ASSERT_TRUE(ReplaceFileContents(path_, Bytes(1000, 7)));
    ASSERT_TRUE(ReplaceFileContents(path_, Bytes{1, 2, 3}));
    EXPECT_EQ(Read(), (Bytes{1, 2, 3})) << "a shorter replacement must not keep the old tail";
    ASSERT_TRUE(ReplaceFileContents(path_, Bytes{}));
    EXPECT_TRUE(FileExists(path_));
    EXPECT_TRUE(Read().empty());
    EXPECT_FALSE(FileExists(path_ + ".tmp"));
}

TEST_F(Files, FailedReplaceLeavesTheOldFile) {
    ASSERT_TRUE(ReplaceFileContents(path_, Bytes{9, 9}));
    // The temporary file cannot be made where a folder of its name stands.
    ASSERT_TRUE(CreateDirectoryA((path_ + ".tmp").c_str(), nullptr));
    EXPECT_FALSE(ReplaceFileContents(path_, Bytes{1}));
    EXPECT_EQ(Read(), (Bytes{9, 9}));
    RemoveDirectoryA((path_ + ".tmp").c_str());

    // The target stays open without delete sharing for longer than the wait: the move fails
    // and the temporary file goes.
    HANDLE held = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReplaceFileContents(path_, Bytes{1}));
    CloseHandle(held);
    EXPECT_EQ(Read(), (Bytes{9, 9}));
    EXPECT_FALSE(FileExists(path_ + ".tmp"));

    EXPECT_FALSE(ReplaceFileContents(folder_ + "missing\\x.bin", Bytes{1}));
    EXPECT_FALSE(ReplaceFileContents("", Bytes{1}));
}

TEST_F(Files, ReadLimitsAndWholeFileRule) {
    ASSERT_TRUE(ReplaceFileContents(path_, Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(ReadFileBytes(path_, 3).value_or(Bytes{}), (Bytes{1, 2, 3}));
    EXPECT_FALSE(ReadFileBytes(path_, 3, true).has_value());
    EXPECT_EQ(ReadFileBytes(path_, 5, true).value_or(Bytes{}), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_FALSE(ReadFileBytes(folder_ + "none.bin", 10).has_value());
}

TEST_F(Files, ReplaceWaitsOutAFileHeldForAMoment) {
    ASSERT_TRUE(ReplaceFileContents(path_, Bytes{9, 9}));
    HANDLE held = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread scanner([held] {   // as a scanner that lets go after 200 ms
        Sleep(200);
        CloseHandle(held);
    });
    const bool replaced = ReplaceFileContents(path_, Bytes{1});
    scanner.join();
    EXPECT_TRUE(replaced);
    EXPECT_EQ(Read(), (Bytes{1}));
}
