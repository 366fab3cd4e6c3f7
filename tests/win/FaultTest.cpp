// Faults from outside the program, against Wine's real file system and registry: the settings
// file locked by another process or its folder read-only when the configuration dialog closes,
// the HKEY_LOCAL_MACHINE policy refused by the registry, and settings files far too long.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <cstdlib>
#include <string>

#include "configui/ConfigDialog.h"
#include "support/SessionSupport.h"
#include "core/ConfigData.h"
#include "core/ConfigFile.h"
#include "core/ProgramFiles.h"
#include "support/ConfigTestSupport.h"
#include "support/FaultSupport.h"
#include "support/RawRegistry.h"
#include "system/LockRecord.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/WinHandles.h"
#include "support/LockStateTestAccess.h"

using namespace configtest;
using faulttest::ChildProcess;

namespace {

constexpr const char* kHoldPathVariable = "ORVO_HOLD_PATH";
constexpr const char* kHoldShareVariable = "ORVO_HOLD_SHARE";
constexpr const char* kHoldEventVariable = "ORVO_HOLD_EVENT";

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

ConfigData DecodeFile(const std::string& bytes) {
    ConfigBytes image{};
    std::copy(bytes.begin(), bytes.begin() + std::min(bytes.size(), kConfigFileSize), image.begin());
    return DecodeConfig(image);
}

std::string FileImage(ConfigData config) {
    config.FileMark = kConfigFileMark;
    const ConfigBytes image = EncodeConfig(config);
    return std::string(image.begin(), image.end());
}

}  // namespace

// Not a test of its own: the other process that holds the settings file open while the parent
// test closes the dialog. It opens the file with the sharing it is told, says it is ready and
// keeps the file until the parent lets it go (or a minute has passed).
TEST(FileHolder, DISABLED_HoldOpen) {
    const std::string path = Variable(kHoldPathVariable);
    const DWORD share = static_cast<DWORD>(std::atoi(Variable(kHoldShareVariable).c_str()));
    const std::string event = Variable(kHoldEventVariable);
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path << " error " << GetLastError();
    UniqueHandle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, (event + "-ready").c_str()));
    UniqueHandle release(OpenEventA(SYNCHRONIZE, FALSE, (event + "-release").c_str()));
    ASSERT_TRUE(ready && release);
    SetEvent(ready.get());
    WaitForSingleObject(release.get(), 60000);
}

namespace {

// The configuration dialog over a settings file that already holds older settings: the user
// changes a list, and the dialog is closed while the save cannot be done.
class SaveOnClose : public ConfigDialogFixture {
protected:
    void SetUp() override {
        ConfigDialogFixture::SetUp();
        if (HasFatalFailure()) return;
        old_ = FileImage(Config);
        ASSERT_TRUE(WriteWholeFile(TheProgramFiles().ConfigFilePath, old_));
        Config.FileMark = kConfigFileMark;
    }

    // Opens the dialog, changes the alert mode and the unlock mode, closes through the close box.
    void ChangeAndClose() {
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        PickListEntry(dialog, kIdCombAlertMode, 4);
        PickListEntry(dialog, kIdCombUnlockMode, 1);
        changed_ = Config;
        Recorded().Messages.clear();
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        Pump();
        EXPECT_EQ(TestSession().ConfigDialogHwnd(), nullptr) << "the dialog closes even when the save failed";
    }

    // What a failed save must leave: the message, no stray file, the new settings in memory.
    void ExpectFailedSave() {
        ASSERT_EQ(Recorded().Messages.size(), 1u);
        EXPECT_EQ(Recorded().Messages[0].Text, "Saving configuration file failed! ");
        EXPECT_EQ(Recorded().Messages[0].Caption, "Orvo PC Lock");
        EXPECT_EQ(Recorded().Messages[0].Flags & MB_ICONMASK, static_cast<uint32_t>(MB_ICONEXCLAMATION));
        EXPECT_EQ(GetFileAttributesA((TheProgramFiles().ConfigFilePath + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(Config, changed_) << "the settings in memory must stay as the user left them";
        EXPECT_EQ(Config.AlertMode, 4);
        EXPECT_EQ(CurrentLockState().UnlockMode(), 1);
    }

    // Read once the fault is gone (a file held without sharing cannot be read either).
    void ExpectOldFile() {
        EXPECT_EQ(ReadWholeFile(TheProgramFiles().ConfigFilePath), old_) << "the old file must stay byte for byte";
    }

    // Once the fault is gone the next save writes what the user chose.
    void ExpectLaterSaveKeepsTheChanges() {
        Recorded().Messages.clear();
        ASSERT_TRUE(SaveConfigData(Config, TheProgramFiles().ConfigFilePath));
        EXPECT_TRUE(Recorded().Messages.empty());
        const ConfigData saved = DecodeFile(ReadWholeFile(TheProgramFiles().ConfigFilePath));
        EXPECT_EQ(saved.AlertMode, 4);
        EXPECT_EQ(saved.UnlockMode, 1);
        EXPECT_EQ(saved.SecretPattern, changed_.SecretPattern);
    }

    std::string old_;
    ConfigData changed_;
};

// Another process holds the file; the sharing it allows is the parameter.
class SaveOnCloseWhileHeld : public SaveOnClose, public ::testing::WithParamInterface<DWORD> {};

}  // namespace

TEST_P(SaveOnCloseWhileHeld, KeepsTheOldFileAndTheNewSettings) {
    const std::string event = "OrvoFaultHold" + std::to_string(GetCurrentProcessId());
    UniqueHandle ready(CreateEventA(nullptr, TRUE, FALSE, (event + "-ready").c_str()));
    UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, (event + "-release").c_str()));
    ASSERT_TRUE(ready && release);
    ChildProcess holder = ChildProcess::RunTest(
        "FileHolder.DISABLED_HoldOpen",
        {{kHoldPathVariable, TheProgramFiles().ConfigFilePath},
         {kHoldShareVariable, std::to_string(GetParam())},
         {kHoldEventVariable, event}});
    ASSERT_TRUE(holder.Started());
    ASSERT_TRUE(faulttest::WaitPumping(ready.get(), 30000)) << "the other process did not open the file";

    ChangeAndClose();
    ExpectFailedSave();

    SetEvent(release.get());
    DWORD code = 1;
    EXPECT_TRUE(holder.Wait(30000, &code));
    EXPECT_EQ(code, 0u);
    ExpectOldFile();
    ExpectLaterSaveKeepsTheChanges();
}

// Opened without any sharing, and shared for reading only (as a viewer or a backup program
// would): neither lets the file be replaced.
INSTANTIATE_TEST_SUITE_P(Sharing, SaveOnCloseWhileHeld, ::testing::Values(DWORD{0}, DWORD{FILE_SHARE_READ}),
                         [](const ::testing::TestParamInfo<DWORD>& info) {
                             return info.param == 0 ? std::string("NoSharing") : std::string("ReadSharing");
                         });

namespace {

// The folder of the settings file made read-only for everyone. Wine runs as root here, and root
// ignores both the read-only attribute of a folder and Unix permissions, so the folder gets the
// host's immutable attribute (chattr +i) instead. A second command takes it off after a minute and
// a half whatever happens to this test, so no folder stays undeletable.
class SaveOnCloseReadOnlyFolder : public SaveOnClose {
protected:
    void SetUp() override {
        SaveOnClose::SetUp();
        if (HasFatalFailure()) return;
        char temp[MAX_PATH] = "";
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        marker_ = std::string(temp) + "orvo-fault-host-" + std::to_string(GetCurrentProcessId());
        hostFolder_ = faulttest::HostPath(folder_);
        if (hostFolder_.empty()) GTEST_SKIP() << "Wine does not tell the host path";
        ASSERT_TRUE(faulttest::RunHostCommand("chattr +i '" + hostFolder_ + "' && ((sleep 90; chattr -i '" +
                                                  hostFolder_ + "') >/dev/null 2>&1 </dev/null &)",
                                              marker_, 30000));
        locked_ = true;
        // Without the right to set the attribute the folder stays writable: nothing to test.
        const std::string probe = folder_ + "probe";
        UniqueHandle file(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        if (file) {
            file.reset();
            DeleteFileA(probe.c_str());
            GTEST_SKIP() << "the host refused the immutable attribute (chattr needs CAP_LINUX_IMMUTABLE)";
        }
    }
    void TearDown() override {
        Unlock();
        SaveOnClose::TearDown();
    }
    void Unlock() {
        if (!locked_) return;
        EXPECT_TRUE(faulttest::RunHostCommand("chattr -i '" + hostFolder_ + "'", marker_, 30000));
        locked_ = false;
    }
    std::string marker_;
    std::string hostFolder_;
    bool locked_ = false;
};

}  // namespace

TEST_F(SaveOnCloseReadOnlyFolder, KeepsTheOldFileAndTheNewSettings) {
    ChangeAndClose();
    ExpectFailedSave();
    ExpectOldFile();
    Unlock();
    ExpectLaterSaveKeepsTheChanges();
}

namespace {

// The policy under HKEY_LOCAL_MACHINE made unwritable by the key's access list, as for an
// account without administrator rights (every Wine process runs elevated). Wine checks key
// access against the list, so RegSetValueExA fails there with ERROR_ACCESS_DENIED.
class DeniedMachinePolicy : public ::testing::Test {
protected:
    void SetUp() override {
        std::string subKey;
        ASSERT_TRUE(rawreg::Split(kPoliciesSystemMachineKey, root_, subKey));
        subKey_ = subKey;
        ASSERT_TRUE(rawreg::WriteDword(kPoliciesSystemMachineKey, "HideFastUserSwitching", 0));
        rawreg::Delete(kAppSystemKey, kPoliciesBeforeLockValueName);
        HKEY raw = nullptr;
        ASSERT_EQ(RegOpenKeyExA(root_, subKey_.c_str(), 0, READ_CONTROL | WRITE_DAC, &raw), ERROR_SUCCESS);
        UniqueHkey key(raw);
        DWORD size = 0;
        RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        saved_.resize(size);
        ASSERT_EQ(RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, saved_.data(), &size), ERROR_SUCCESS);
        // Everyone may read it and change this list back; nobody may set a value.
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)(A;;RCWD;;;WD)",
                                                                         SDDL_REVISION_1, &readOnly, nullptr));
        const LONG set = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, readOnly);
        LocalFree(readOnly);
        ASSERT_EQ(set, ERROR_SUCCESS);
        denied_ = true;
        if (rawreg::WriteDword(kPoliciesSystemMachineKey, "HideFastUserSwitching", 1))
            GTEST_SKIP() << "this Wine does not check key access lists";
    }
    void TearDown() override {
        if (denied_) {
            HKEY raw = nullptr;
            if (RegOpenKeyExA(root_, subKey_.c_str(), 0, WRITE_DAC, &raw) == ERROR_SUCCESS) {
                UniqueHkey key(raw);
                EXPECT_EQ(RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, saved_.data()), ERROR_SUCCESS);
            }
        }
        for (const char* name : {"DisableTaskmgr"})
            rawreg::WriteDword(kPoliciesSystemUserKey, name, 0);
        for (const char* name : {"NoLogoff", "NoClose"}) rawreg::WriteDword(kPoliciesExplorerUserKey, name, 0);
    }
    HKEY root_ = nullptr;
    std::string subKey_;
    std::vector<BYTE> saved_;
    bool denied_ = false;
};

}  // namespace

TEST_F(DeniedMachinePolicy, TheUserPoliciesAreStillSetAndCleared) {
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesSystemUserKey, "DisableTaskmgr", 0));
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesExplorerUserKey, "NoLogoff", 0));
    ASSERT_TRUE(rawreg::WriteDword(kPoliciesExplorerUserKey, "NoClose", 1));

    ApplyPolicies();
    EXPECT_EQ(rawreg::ReadDword(kPoliciesSystemUserKey, "DisableTaskmgr"), 1u);
    EXPECT_EQ(rawreg::ReadDword(kPoliciesExplorerUserKey, "NoLogoff"), 1u);
    EXPECT_EQ(rawreg::ReadDword(kPoliciesSystemMachineKey, "HideFastUserSwitching"), 0u) << "refused, unchanged";

    RestorePolicies();
    EXPECT_EQ(rawreg::ReadDword(kPoliciesSystemUserKey, "DisableTaskmgr"), 0u);
    EXPECT_EQ(rawreg::ReadDword(kPoliciesExplorerUserKey, "NoLogoff"), 0u);
    EXPECT_EQ(rawreg::ReadDword(kPoliciesExplorerUserKey, "NoClose"), 1u) << "someone else's, from before the lock";
}

namespace {

// Settings files of 100 KB: the record is read from the front, the rest is never looked at and
// never lost.
class OversizedSettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = "";
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        const std::string name = "orvo-oversized-" + std::to_string(GetCurrentProcessId()) + ".cfg";
        SetProgramFiles({.ConfigFilePath = std::string(temp) + name});
        Recorded() = Recorder{};
        previous_ = SetMessageHook([](const std::string& text, const std::string& caption, uint32_t flags) {
            Recorded().Messages.push_back({text, caption, flags});
            return IDOK;
        });
        tail_.resize(100 * 1024 - kConfigFileSize);
        for (std::size_t i = 0; i < tail_.size(); ++i) tail_[i] = static_cast<char>(i * 7 + 3);
    }
    void TearDown() override {
        SetMessageHook(previous_);
        DeleteFileA(TheProgramFiles().ConfigFilePath.c_str());
    }
    MessageHook previous_ = nullptr;
    std::string tail_;
};

}  // namespace

TEST_F(OversizedSettingsFile, GarbageIsRejectedWithTheReadMessage) {
    ASSERT_TRUE(WriteWholeFile(TheProgramFiles().ConfigFilePath, std::string(kConfigFileSize, '\x7F') + tail_));
    EXPECT_FALSE(LoadConfigData(Config, TheProgramFiles().ConfigFilePath));
    ASSERT_EQ(Recorded().Messages.size(), 1u);
    EXPECT_EQ(Recorded().Messages[0].Text, "Reading configuration file failed! ");
}

TEST_F(OversizedSettingsFile, ValidRecordLoadsAndASaveKeepsEveryByteBehindIt) {
    ConfigData stored;
    ApplyDefaultConfig(stored);
    SetDefaultPattern(stored);
    stored.SecretPattern[1] = 4;
    ASSERT_TRUE(WriteWholeFile(TheProgramFiles().ConfigFilePath, FileImage(stored) + tail_));
    Config = ConfigData{};
    ASSERT_TRUE(LoadConfigData(Config, TheProgramFiles().ConfigFilePath));
    EXPECT_TRUE(Recorded().Messages.empty());
    stored.FileMark = kConfigFileMark;
    EXPECT_EQ(Config, stored);

    Config.AlertTimes = 6;
    ASSERT_TRUE(SaveConfigData(Config, TheProgramFiles().ConfigFilePath));
    const std::string file = ReadWholeFile(TheProgramFiles().ConfigFilePath);
    ASSERT_EQ(file.size(), 100u * 1024u);
    EXPECT_EQ(DecodeFile(file).AlertTimes, 6);
    EXPECT_EQ(file.substr(kConfigFileSize), tail_);
}
