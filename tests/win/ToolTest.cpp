// The maintenance tool's jobs against Wine's real registry: the safe-mode marker in Winlogon's
// "Userinit" and the repair after an abnormal end. Messages are captured through the message
// seam; the registry is checked with raw calls, not with the code under test.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/RawRegistry.h"
#include "system/LockRecord.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "tool/ToolActions.h"
#include "tool/UninstallCleanup.h"

namespace {

const std::string kWinlogon = kWinlogonKey;
const std::string kSystem = kAppSystemKey;
// The lock program beside this test program, as beside the tool.
const std::string kAppPath = InstalledProgramPath();
const std::string kMarker = "," + kAppPath + " /StartupLock";
// Windows' usual entry, with the trailing comma; the writer stored its terminating zero.
const std::string kUsualUserinit = "C:\\Windows\\system32\\userinit.exe,";

struct Shown {
    std::string text, caption;
    uint32_t flags;
};
std::vector<Shown> Messages;

int RecordMessage(const std::string& text, const std::string& caption, uint32_t flags) {
    Messages.push_back({text, caption, flags});
    return IDOK;
}

// The stored text up to its terminating zero, or nothing when the value is missing.
std::optional<std::string> StoredText(const std::string& path, const char* name) {
    const auto value = rawreg::Read(path, name);
    if (!value) return std::nullopt;
    std::string text = value->Bytes;
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

class ToolFixture : public ::testing::Test {
protected:
    void SetUp() override {
        savedUserinit_ = rawreg::Read(kWinlogon, kUserinitValueName);
        savedAppPath_ = rawreg::Read(kSystem, kAppPathValueName);
        Messages.clear();
        previousHook_ = SetMessageHook(RecordMessage);
    }
    void TearDown() override {
        SetMessageHook(previousHook_);
        Restore(kWinlogon, kUserinitValueName, savedUserinit_);
        Restore(kSystem, kAppPathValueName, savedAppPath_);
    }
    static void Restore(const std::string& path, const char* name, const std::optional<rawreg::Value>& saved) {
        if (saved) rawreg::Write(path, name, saved->Type, saved->Bytes);
        else rawreg::Delete(path, name);
    }
    static void SetText(const std::string& path, const char* name, const std::string& text) {
        ASSERT_TRUE(rawreg::Write(path, name, REG_SZ, text + '\0'));
    }
    // Exactly one message with the tool's caption and icon; its text.
    static std::string OnlyMessage() {
        EXPECT_EQ(Messages.size(), 1u);
        if (Messages.empty()) return "<none>";
        EXPECT_EQ(Messages.back().caption, "Orvo PC Lock");
        EXPECT_EQ(Messages.back().flags, static_cast<uint32_t>(MB_ICONINFORMATION));
        return Messages.back().text;
    }

    std::optional<rawreg::Value> savedUserinit_, savedAppPath_;
    MessageHook previousHook_ = nullptr;
};

using SafeModeLock = ToolFixture;

}  // namespace

TEST_F(SafeModeLock, EnableAppendsTheMarkerOnceAndReportsTheSecondRun) {
    SetText(kSystem, kAppPathValueName, kAppPath);
    SetText(kWinlogon, kUserinitValueName, kUsualUserinit);

    SetSafeModeLock(true);
    EXPECT_EQ(OnlyMessage(), "Enable autolock at Windows startup in Safe Mode successfully");
    EXPECT_EQ(StoredText(kWinlogon, kUserinitValueName), kUsualUserinit + kMarker);
    const auto afterFirst = rawreg::Read(kWinlogon, kUserinitValueName);
    ASSERT_TRUE(afterFirst.has_value());
    EXPECT_EQ(afterFirst->Type, static_cast<DWORD>(REG_SZ));

    Messages.clear();
    SetSafeModeLock(true);
    EXPECT_EQ(OnlyMessage(), "Autolock at Windows startup in Safe Mode enabled");
    const auto afterSecond = rawreg::Read(kWinlogon, kUserinitValueName);
    ASSERT_TRUE(afterSecond.has_value());
    EXPECT_EQ(afterSecond->Bytes, afterFirst->Bytes);
}

TEST_F(SafeModeLock, EnableThenDisableGivesBackTheDoubleCommaExampleByteForByte) {
    SetText(kSystem, kAppPathValueName, kAppPath);
    SetText(kWinlogon, kUserinitValueName, kUsualUserinit);

    SetSafeModeLock(true);
    // Two commas in a row: the list's own trailing one and the marker's.
    EXPECT_EQ(StoredText(kWinlogon, kUserinitValueName), kUsualUserinit + "," + kAppPath + " /StartupLock");
    Messages.clear();
    SetSafeModeLock(false);
    EXPECT_EQ(OnlyMessage(), "Disable autolock at Windows startup in Safe Mode successfully");
    EXPECT_EQ(StoredText(kWinlogon, kUserinitValueName), kUsualUserinit);
}

TEST_F(SafeModeLock, DisableWithoutTheMarkerWritesNothing) {
    SetText(kSystem, kAppPathValueName, kAppPath);
    SetText(kWinlogon, kUserinitValueName, kUsualUserinit + "  ");
    const auto before = rawreg::Read(kWinlogon, kUserinitValueName);

    SetSafeModeLock(false);
    EXPECT_EQ(OnlyMessage(), "Autolock at Windows startup in Safe Mode disabled");
    const auto after = rawreg::Read(kWinlogon, kUserinitValueName);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(after->Bytes, before->Bytes);
}

TEST_F(SafeModeLock, DisableRemovesEveryOccurrence) {
    SetText(kSystem, kAppPathValueName, kAppPath);
    SetText(kWinlogon, kUserinitValueName, kUsualUserinit + kMarker + ",other.exe" + kMarker);
    SetSafeModeLock(false);
    EXPECT_EQ(OnlyMessage(), "Disable autolock at Windows startup in Safe Mode successfully");
    EXPECT_EQ(StoredText(kWinlogon, kUserinitValueName), kUsualUserinit + ",other.exe");
}

// Enabling never writes a list that lost its entries or an entry that names no program; the
// failure is said as such.
TEST_F(SafeModeLock, EnableWithoutProgramOrListWritesNothingAndSaysFailed) {
    SetText(kWinlogon, kUserinitValueName, kUsualUserinit);
    for (const char* program : {"C:\\missing\\OrvoPCLock.exe", "C:\\a,b\\OrvoPCLock.exe", ""}) {
        Messages.clear();
        SetSafeModeLock(true, program);
        EXPECT_EQ(OnlyMessage(), "Enable autolock at Windows startup in Safe Mode failed") << program;
        EXPECT_EQ(StoredText(kWinlogon, kUserinitValueName), kUsualUserinit);
    }

    rawreg::Delete(kWinlogon, kUserinitValueName);
    Messages.clear();
    SetSafeModeLock(true);
    EXPECT_EQ(OnlyMessage(), "Enable autolock at Windows startup in Safe Mode failed");
    EXPECT_EQ(StoredText(kWinlogon, kUserinitValueName), std::nullopt);

    // Longer than a read returns: present, but its entries cannot be carried over.
    const std::string longList = std::string(1100, 'x') + ".exe,";
    SetText(kWinlogon, kUserinitValueName, longList);
    Messages.clear();
    SetSafeModeLock(true);
    EXPECT_EQ(OnlyMessage(), "Enable autolock at Windows startup in Safe Mode failed");
    EXPECT_EQ(StoredText(kWinlogon, kUserinitValueName), longList);
}

namespace {

// HKEY_LOCAL_MACHINE redirected, for this process, to a volatile scratch key. The platform
// refuses lasting keys below a volatile one, so the Winlogon key can be neither created nor
// written, as for a user without rights to the machine's settings.
class UnwritableMachineKey {
public:
    UnwritableMachineKey() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kScratch, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &volatile_, nullptr) != ERROR_SUCCESS)
            return;
        active_ = RegOverridePredefKey(HKEY_LOCAL_MACHINE, volatile_) == ERROR_SUCCESS;
    }
    ~UnwritableMachineKey() {
        if (active_) RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        if (volatile_) RegCloseKey(volatile_);
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    }
    bool Active() const { return active_; }
    // Whether the platform let a lasting key be made below the volatile one after all.
    static bool AnythingCreated() {
        HKEY key = nullptr;
        if (RegOpenKeyA(HKEY_CURRENT_USER, (std::string(kScratch) + "\\SOFTWARE").c_str(), &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

private:
    static constexpr const char* kScratch = "Software\\OrvoTest\\VolatileMachine";
    HKEY volatile_ = nullptr;
    bool active_ = false;
};

}  // namespace

TEST_F(SafeModeLock, UnwritableWinlogonReportsFailureNotSuccess) {
    SetText(kSystem, kAppPathValueName, kAppPath);
    {
        UnwritableMachineKey guard;
        if (!guard.Active()) GTEST_SKIP() << "RegOverridePredefKey is not available";
        SetSafeModeLock(true);
        if (UnwritableMachineKey::AnythingCreated()) GTEST_SKIP() << "the platform made a lasting key below a volatile one";
    }
    EXPECT_EQ(OnlyMessage(), "Enable autolock at Windows startup in Safe Mode failed");
}

using FixTroublesTest = ToolFixture;

// Without a lock record nothing says the values are ours: they stay; the markers go.
TEST_F(FixTroublesTest, WithoutARecordLeavesThePoliciesClearsTheMarkersAndReportsSuccess) {
    const char* const names[] = {"DisableTaskmgr", "HideFastUserSwitching", "NoClose", "NoLogoff"};
    const char* const keys[] = {kPoliciesSystemUserKey, kPoliciesSystemMachineKey, kPoliciesExplorerUserKey,
                                kPoliciesExplorerUserKey};
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(rawreg::WriteDword(keys[i], names[i], 1));
    rawreg::Delete(kSystem, kPoliciesBeforeLockValueName);
    ASSERT_TRUE(rawreg::WriteDword(kSystem, kLockedValueName, 1));
    ASSERT_TRUE(rawreg::Write(kRunOnceKey, kRunOnceValueName, REG_SZ, "x.exe /StartupLock"));

    FixTroubles();
    EXPECT_FALSE(rawreg::Read(kSystem, kLockedValueName).has_value());
    EXPECT_FALSE(rawreg::Read(kRunOnceKey, kRunOnceValueName).has_value());

    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(rawreg::ReadDword(keys[i], names[i]), 1u);
        rawreg::Delete(keys[i], names[i]);
    }
    EXPECT_EQ(OnlyMessage(), "Fix troubles of abnormal program termination successfully");
    // Without a desktop shell Wine still keeps a hidden taskbar window; the repair shows it.
    if (HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr)) {
        EXPECT_TRUE(IsWindowVisible(taskbar));
        ShowWindow(taskbar, SW_HIDE);
    }
}
