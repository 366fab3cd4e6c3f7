// Registry reads, writes and deletes through location texts, against Wine's real registry.
// Every test works below a scratch key that SetUp deletes first.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/FaultSupport.h"
#include "system/Registry.h"
#include "system/Text.h"

namespace {

constexpr const char kScratchSubKey[] = "Software\\OrvoTest\\Registry";
const std::string kScratch = std::string("HKEY_CURRENT_USER\\") + kScratchSubKey;

std::string TextOf(const RegistryValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text ? *text : std::string("<not text>");
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratchSubKey);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kScratchSubKey, &key), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kScratchSubKey); }

    // Writes a value directly, bypassing the code under test.
    static void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, kScratchSubKey, &key), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // The raw bytes and type as stored, bypassing the code under test.
    static bool GetRaw(const char* name, DWORD& type, std::string& bytes) {
        HKEY key = nullptr;
        if (RegOpenKeyA(HKEY_CURRENT_USER, kScratchSubKey, &key) != ERROR_SUCCESS) return false;
        char buffer[4096];
        DWORD size = sizeof buffer;
        const LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) return false;
        bytes.assign(buffer, size);
        return true;
    }
};

}  // namespace

TEST_F(Registry, TextRoundTripsThroughTrimNull) {
    const std::string texts[] = {"C:\\Program Files\\Orvo\\OrvoPCLock.exe", "1", "x", "caf\xe9 \xa7"};
    for (const std::string& text : texts) {
        ASSERT_TRUE(WriteRegistryValue(kScratch, "Text", text, kRegSz));
        const RegistryValue read = ReadRegistryValue(kScratch, "Text");
        ASSERT_TRUE(std::holds_alternative<std::string>(read)) << text;
        EXPECT_EQ(TrimNull(TextOf(read)), text);
        // Whatever the platform added is at most one terminating zero.
        const std::string raw = TextOf(read);
        EXPECT_TRUE(raw == text || raw == text + std::string(1, '\0')) << text;
    }
    // REG_EXPAND_SZ keeps its type.
    ASSERT_TRUE(WriteRegistryValue(kScratch, "Expand", "%TEMP%\\x", kRegExpandSz));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(GetRaw("Expand", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(TrimNull(TextOf(ReadRegistryValue(kScratch, "Expand"))), "%TEMP%\\x");
}

namespace {
decltype(&RegSetValueExA) RealSetValue = nullptr;
std::vector<DWORD> PassedSizes;
LSTATUS WINAPI RecordingSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    PassedSizes.push_back(size);
    return RealSetValue(key, name, reserved, type, data, size);
}
}  // namespace

// Wine, like Windows as reported, adds a zero the count left out when the byte after the text
// is one, so the stored size alone cannot tell; the count passed is watched as well.
TEST_F(Registry, TextIsWrittenWithItsTerminatingZero) {
    RealSetValue = reinterpret_cast<decltype(RealSetValue)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegSetValueExA")));
    PassedSizes.clear();
    ASSERT_GT(faulttest::RedirectImport(reinterpret_cast<void*>(RealSetValue),
                                        reinterpret_cast<void*>(RecordingSetValue)), 0);
    WriteRegistryValue(kScratch, "Text", "abc", kRegSz);
    WriteRegistryValue(kScratch, "Expand", "%T%", kRegExpandSz);
    WriteRegistryValue(kScratch, "Text", TextOf(ReadRegistryValue(kScratch, "Text")), kRegSz);   // "abc\0"
    faulttest::RedirectImport(reinterpret_cast<void*>(RecordingSetValue), reinterpret_cast<void*>(RealSetValue));
    EXPECT_EQ(PassedSizes, (std::vector<DWORD>{4, 4, 4}));
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(GetRaw("Text", type, bytes));
    EXPECT_EQ(bytes, std::string("abc\0", 4));
}

TEST_F(Registry, TextStoredWithItsZeroReadsBackWithIt) {
    SetRaw("Zero", REG_SZ, "abc", 4);
    EXPECT_EQ(TextOf(ReadRegistryValue(kScratch, "Zero")), std::string("abc\0", 4));
    // Binary data comes back byte for byte as text as well.
    const unsigned char blob[] = {1, 0, 2, 0xFF};
    SetRaw("Blob", REG_BINARY, blob, sizeof blob);
    EXPECT_EQ(TextOf(ReadRegistryValue(kScratch, "Blob")), std::string("\x01\x00\x02\xff", 4));
}

TEST_F(Registry, DwordIsWrittenFromTextRoundedHalfToEven) {
    struct Case { const char* text; DWORD stored; };
    const Case cases[] = {{"2.5", 2}, {"3.5", 4}, {"1", 1}, {"", 0}, {"abc", 0}, {"-1", 0xFFFFFFFFu}, {" 7x", 7}};
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteRegistryValue(kScratch, "Number", c.text, kRegDword)) << c.text;
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(GetRaw("Number", type, bytes));
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << c.text;
        ASSERT_EQ(bytes.size(), 4u) << c.text;
        DWORD stored = 0;
        memcpy(&stored, bytes.data(), 4);
        EXPECT_EQ(stored, c.stored) << c.text;
        const RegistryValue read = ReadRegistryValue(kScratch, "Number");
        ASSERT_TRUE(std::holds_alternative<int32_t>(read)) << c.text;
        EXPECT_EQ(static_cast<DWORD>(std::get<int32_t>(read)), c.stored) << c.text;
    }
}

TEST_F(Registry, DwordOfWrongSizeOrUnknownTypeReadsEmpty) {
    const unsigned char two[] = {1, 2};
    SetRaw("Short", REG_DWORD, two, sizeof two);
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(kScratch, "Short")));
    const unsigned long long eight = 5;
    SetRaw("Qword", REG_QWORD, &eight, sizeof eight);
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(kScratch, "Qword")));
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(kScratch, "Missing")));
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(kScratch + "\\NoSuchKey", "Missing")));
}

TEST_F(Registry, RootNameIsCaseInsensitiveButNotAbbreviated) {
    const std::string lower = std::string("hkey_current_user\\") + kScratchSubKey;
    ASSERT_TRUE(WriteRegistryValue(lower, "Lower", "yes", kRegSz));
    EXPECT_EQ(TrimNull(TextOf(ReadRegistryValue(kScratch, "Lower"))), "yes");
    EXPECT_EQ(TrimNull(TextOf(ReadRegistryValue(lower, "Lower"))), "yes");

    const std::string abbreviated = std::string("HKCU\\") + kScratchSubKey;
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(abbreviated, "Lower")));
    EXPECT_FALSE(WriteRegistryValue(abbreviated, "Abbrev", "no", kRegSz));
    DWORD type = 0;
    std::string bytes;
    EXPECT_FALSE(GetRaw("Abbrev", type, bytes)) << "HKCU must not write anything";
    EXPECT_FALSE(DeleteRegistryValue(abbreviated, "Lower"));
    EXPECT_EQ(TrimNull(TextOf(ReadRegistryValue(kScratch, "Lower"))), "yes") << "HKCU must not delete";
}

TEST_F(Registry, TextLongerThan1024BytesReadsEmpty) {
    const std::string fits(1023, 'a');     // 1024 bytes with the stored zero
    ASSERT_TRUE(WriteRegistryValue(kScratch, "Fits", fits, kRegSz));
    EXPECT_EQ(TrimNull(TextOf(ReadRegistryValue(kScratch, "Fits"))), fits);
    const std::string longer(1500, 'b');
    ASSERT_TRUE(WriteRegistryValue(kScratch, "Long", longer, kRegSz));
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(kScratch, "Long")));
}

TEST_F(Registry, UnhandledWriteTypeSaysSoAndWritesNothing) {
    EXPECT_FALSE(WriteRegistryValue(kScratch, "Multi", "a", kRegMultiSz));
    EXPECT_FALSE(WriteRegistryValue(kScratch, "Bin", "a", kRegBinary));
    DWORD type = 0;
    std::string bytes;
    EXPECT_FALSE(GetRaw("Multi", type, bytes));
    EXPECT_FALSE(GetRaw("Bin", type, bytes));
}

TEST_F(Registry, WriteCreatesMissingKeysAndDeleteRemovesTheValue) {
    const std::string deep = kScratch + "\\A\\B";
    ASSERT_TRUE(WriteRegistryValue(deep, "V", "1", kRegSz));
    EXPECT_EQ(TrimNull(TextOf(ReadRegistryValue(deep, "V"))), "1");

    EXPECT_TRUE(DeleteRegistryValue(deep, "V"));
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(deep, "V")));
    // Gone already, and under a missing key: not there afterwards either.
    EXPECT_TRUE(DeleteRegistryValue(deep, "V"));
    EXPECT_TRUE(DeleteRegistryValue(kScratch + "\\Nowhere", "V"));
}

TEST_F(Registry, PathWithoutBackslashAddressesTheRootKey) {
    // HKEY_CURRENT_USER itself: write, read and delete a value at the root.
    const std::string name = "OrvoTestRootValue";
    ASSERT_TRUE(WriteRegistryValue("HKEY_CURRENT_USER", name, "root", kRegSz));
    HKEY key = nullptr;
    char buffer[16] = {};
    DWORD size = sizeof buffer;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, nullptr, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(buffer, "root");
    EXPECT_EQ(TrimNull(TextOf(ReadRegistryValue("HKEY_CURRENT_USER", name))), "root");
    EXPECT_TRUE(DeleteRegistryValue("HKEY_CURRENT_USER", name));
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue("HKEY_CURRENT_USER", name)));
}
