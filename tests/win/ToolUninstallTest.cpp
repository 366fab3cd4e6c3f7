// The tool's silent "/Uninstall" job against Wine's real registry: what the uninstaller must
// take away (policies, this installation's safe-mode marker and Run value) and what it must
// leave exactly as it was (the rest of "Userinit", another copy's entries). Checked with raw
// registry calls, not with the code under test.
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
#include "tool/UserinitMarker.h"

namespace {

const std::string kWinlogon = kWinlogonKey;
const std::string kSystem = kAppSystemKey;
const std::string kProgram = "C:\\Program Files\\Orvo PC Lock\\OrvoPCLock.exe";
const std::string kOtherProgram = "D:\\Portable\\OrvoPCLock.exe";

struct PolicyName {
    const char* Key;
    const char* Name;
};
const PolicyName kPolicies[] = {{kPoliciesSystemUserKey, "DisableTaskmgr"},
                                {kPoliciesSystemMachineKey, "HideFastUserSwitching"},
                                {kPoliciesExplorerUserKey, "NoClose"},
                                {kPoliciesExplorerUserKey, "NoLogoff"}};

int MessagesShown = 0;
int CountMessage(const std::string&, const std::string&, uint32_t) {
    ++MessagesShown;
    return IDOK;
}

class UninstallCleanupTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& [path, name] : Saved()) saved_.push_back(rawreg::Read(path, name));
        MessagesShown = 0;
        previousHook_ = SetMessageHook(CountMessage);
    }
    void TearDown() override {
        SetMessageHook(previousHook_);
        const auto places = Saved();
        for (std::size_t i = 0; i < places.size(); ++i) {
            if (saved_[i]) rawreg::Write(places[i].first, places[i].second, saved_[i]->Type, saved_[i]->Bytes);
            else rawreg::Delete(places[i].first, places[i].second);
        }
    }
    static std::vector<std::pair<std::string, std::string>> Saved() {
        std::vector<std::pair<std::string, std::string>> places = {
            {kWinlogon, kUserinitValueName}, {kSystem, kAppPathValueName}, {kRunKey, kRunValueName}};
        for (const PolicyName& policy : kPolicies) places.emplace_back(policy.Key, policy.Name);
        return places;
    }
    static void SetText(const std::string& path, const char* name, const std::string& text) {
        ASSERT_TRUE(rawreg::Write(path, name, REG_SZ, text + '\0'));
    }

    std::vector<std::optional<rawreg::Value>> saved_;
    MessageHook previousHook_ = nullptr;
};

}  // namespace

TEST_F(UninstallCleanupTest, TakesAwayPoliciesMarkerAndRunValueButKeepsTheRestOfUserinit) {
    // The lock had found no value of the three it sets; NoClose it never sets.
    for (const PolicyName& policy : kPolicies) ASSERT_TRUE(rawreg::WriteDword(policy.Key, policy.Name, 1));
    SetText(kSystem, kPoliciesBeforeLockValueName, "DisableTaskmgr=-;NoLogoff=-;HideFastUserSwitching=-;NoClose=-");
    // The program recorded its path in another case than the folder the uninstaller knows.
    const std::string recorded = "C:\\PROGRAM FILES\\Orvo PC Lock\\OrvoPCLock.exe";
    SetText(kSystem, kAppPathValueName, recorded);
    const std::string rest1 = "C:\\Windows\\system32\\userinit.exe, ";
    const std::string rest2 = " ,C:\\Tools\\helper.exe /q  ";
    SetText(kWinlogon, kUserinitValueName, rest1 + SafeModeMarker(recorded) + rest2 + SafeModeMarker(kProgram));
    SetText(kRunKey, kRunValueName, kProgram + " /StartupLock");

    ASSERT_TRUE(rawreg::WriteDword(kSystem, kLockedValueName, 1));

    UninstallCleanup(kProgram);

    EXPECT_FALSE(rawreg::Read(kSystem, kLockedValueName).has_value());
    for (const PolicyName& policy : kPolicies) {
        SCOPED_TRACE(policy.Name);
        EXPECT_EQ(rawreg::Read(policy.Key, policy.Name).has_value(), policy.Name == std::string("NoClose"));
    }
    const auto userinit = rawreg::Read(kWinlogon, kUserinitValueName);
    ASSERT_TRUE(userinit.has_value());
    EXPECT_EQ(userinit->Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(userinit->Bytes, rest1 + rest2 + '\0');
    EXPECT_FALSE(rawreg::Read(kRunKey, kRunValueName).has_value());
    EXPECT_EQ(MessagesShown, 0);
}

TEST_F(UninstallCleanupTest, LeavesAnotherCopysEntriesAndAnUntouchedUserinitAlone) {
    SetText(kSystem, kAppPathValueName, kOtherProgram);
    const std::string userinitText = "C:\\Windows\\system32\\userinit.exe," + SafeModeMarker(kOtherProgram) + "  ";
    SetText(kWinlogon, kUserinitValueName, userinitText);
    SetText(kRunKey, kRunValueName, kOtherProgram + " /StartupLock");
    const auto before = rawreg::Read(kWinlogon, kUserinitValueName);

    UninstallCleanup(kProgram);

    const auto after = rawreg::Read(kWinlogon, kUserinitValueName);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(after->Bytes, before->Bytes);
    const auto run = rawreg::Read(kRunKey, kRunValueName);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(run->Bytes, kOtherProgram + " /StartupLock" + '\0');
    EXPECT_EQ(MessagesShown, 0);
}

TEST_F(UninstallCleanupTest, UserinitHoldingOnlyOurMarkerIsDeletedNotLeftEmpty) {
    SetText(kSystem, kAppPathValueName, kProgram);
    SetText(kWinlogon, kUserinitValueName, SafeModeMarker(kProgram));
    UninstallCleanup(kProgram);
    EXPECT_FALSE(rawreg::Read(kWinlogon, kUserinitValueName).has_value());
}

TEST_F(UninstallCleanupTest, MissingValuesAreNotCreated) {
    rawreg::Delete(kWinlogon, kUserinitValueName);
    rawreg::Delete(kRunKey, kRunValueName);
    UninstallCleanup(kProgram);
    EXPECT_FALSE(rawreg::Read(kWinlogon, kUserinitValueName).has_value());
    EXPECT_FALSE(rawreg::Read(kRunKey, kRunValueName).has_value());
}

TEST(InstalledProgram, IsTheLockProgramInTheToolsFolder) {
    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    std::string folder(self);
    folder.erase(folder.find_last_of('\\') + 1);
    EXPECT_EQ(InstalledProgramPath(), folder + "OrvoPCLock.exe");
}
