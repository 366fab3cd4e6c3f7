// The settings file against the real file system and registry under Wine: load and save with
// their messages, the atomic replacement, first-run detection and the defaults.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/Startup.h"
#include "core/ConfigData.h"
#include "core/ConfigFile.h"
#include "system/Files.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Text.h"
#include "support/SessionSupport.h"

namespace {

struct ShownMessage {
    std::string Text;
    std::string Caption;
    uint32_t Flags;
};
std::vector<ShownMessage> Shown;
std::vector<std::string> Events;   // messages and dialog calls in the order they happened

int CaptureMessage(const std::string& text, const std::string& caption, uint32_t flags) {
    Shown.push_back({text, caption, flags});
    Events.push_back("message");
    return IDOK;
}

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::string& path) {
    const auto bytes = ReadFileBytes(path, 1u << 20, true);
    return bytes ? *bytes : Bytes{};
}

void WriteRaw(const std::string& path, const Bytes& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

ConfigData SampleConfig() {
    ConfigData config;
    config.Grid = 2;
    config.Reserved = 0xA5;
    config.AutoHideTime = 120;
    config.AutoLockTime = 600;
    config.MonitorOffTime = 18000;
    config.AlertTimes = 7;
    config.AlertMode = 5;
    config.AutoStartLock = -1;
    for (int i = 0; i < kSecretPatternEntries; ++i) config.SecretPattern[i] = 100 + i;  // stale entries too
    SetFixedText(config.BackgroundImage, "C:\\pics\\b.jpg");
    config.LockKeyboard = 1;
    SetFixedText(config.AlertWord, "Hands off");
    config.Effect = 1;
    config.Disconnection = 1;
    config.TransparentBackground = 1;
    config.UnlockMode = 2;
    config.FileMark = 0;
    return config;
}

Bytes ValidImage(ConfigData config) {
    config.FileMark = kConfigFileMark;
    const ConfigBytes image = EncodeConfig(config);
    return Bytes(image.begin(), image.end());
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "OrvoConfigFileTest\\";
        RemoveFolder(folder_);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        path_ = folder_ + kConfigFileName;
        SetProgramFiles({.ConfigFilePath = path_});
        Config = ConfigData{};
        Shown.clear();
        Events.clear();
        previousHook_ = SetMessageHook(CaptureMessage);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Orvo PC Lock\\System", "FirstRun");
    }
    void TearDown() override {
        SetMessageHook(previousHook_);
        RemoveFolder(folder_);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "SOFTWARE\\Orvo PC Lock\\System", "FirstRun");
    }

    static void RemoveFolder(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string file = folder + found.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    void ExpectOneMessage(const char* text) {
        ASSERT_EQ(Shown.size(), 1u);
        EXPECT_EQ(Shown[0].Text, text);
        EXPECT_EQ(Shown[0].Caption, "Orvo PC Lock");
        EXPECT_EQ(Shown[0].Flags, static_cast<uint32_t>(MB_ICONEXCLAMATION));
    }

    std::string folder_;
    std::string path_;
    MessageHook previousHook_ = nullptr;
};

}  // namespace

TEST_F(ConfigFile, SaveThenLoadGivesTheSameRecord) {
    const ConfigData sample = SampleConfig();
    Config = sample;
    ASSERT_TRUE(SaveConfigData(Config, path_));
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(Config.FileMark, kConfigFileMark);

    const Bytes file = ReadAll(path_);
    ASSERT_EQ(file.size(), kConfigFileSize);
    EXPECT_EQ(Bytes(file.end() - 4, file.end()), (Bytes{0x21, 0x4E, 0x00, 0x00}));
    EXPECT_EQ(file[0], 2);
    EXPECT_EQ(file[1], 0xA5);
    EXPECT_FALSE(FileExists(path_ + ".tmp"));

    Config = ConfigData{};
    ASSERT_TRUE(LoadConfigData(Config, path_));
    ConfigData expected = sample;
    expected.FileMark = kConfigFileMark;
    EXPECT_EQ(Config, expected);
    EXPECT_TRUE(Shown.empty());
}

TEST_F(ConfigFile, MissingFileFailsWithoutMessage) {
    Config = SampleConfig();
    EXPECT_FALSE(LoadConfigData(Config, path_));
    EXPECT_FALSE(LoadConfigData(Config, ""));
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(Config, SampleConfig());
}

TEST_F(ConfigFile, WrongMarkIsRejectedButTheRecordIsRead) {
    ConfigData onDisk = SampleConfig();
    onDisk.Grid = 5;
    onDisk.FileMark = 20000;
    const ConfigBytes image = EncodeConfig(onDisk);
    WriteRaw(path_, Bytes(image.begin(), image.end()));

    EXPECT_FALSE(LoadConfigData(Config, path_));
    ExpectOneMessage("Reading configuration file failed! ");
    EXPECT_EQ(Config.Grid, 0) << "grid is repaired before the mark test";
    EXPECT_EQ(Config.UnlockMode, 2);
    EXPECT_EQ(Config.TransparentBackground, 1);
    EXPECT_EQ(ReadFixedText(Config.BackgroundImage), "C:\\pics\\b.jpg");
}

TEST_F(ConfigFile, GridAboveTwoWithGoodMarkLoadsAsThreeByThree) {
    ConfigData onDisk = SampleConfig();
    onDisk.Grid = 5;
    WriteRaw(path_, ValidImage(onDisk));
    EXPECT_TRUE(LoadConfigData(Config, path_));
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(Config.Grid, 0);
    EXPECT_EQ(Config.SecretPattern, onDisk.SecretPattern);
}

TEST_F(ConfigFile, ShortFileFailsTheMarkTest) {
    const Bytes full = ValidImage(SampleConfig());
    // 568 bytes still end in 21 4E 00: only the length can tell that the file is cut.
    for (std::size_t size : {std::size_t{0}, std::size_t{300}, kConfigFileSize - 2, kConfigFileSize - 1}) {
        Shown.clear();
        Config = ConfigData{};
        WriteRaw(path_, Bytes(full.begin(), full.begin() + size));
        EXPECT_FALSE(LoadConfigData(Config, path_)) << size;
        ExpectOneMessage("Reading configuration file failed! ");
        // What was there is read; the rest of the record is zero.
        if (size == 300) {
            EXPECT_EQ(Config.AutoLockTime, 600);
            EXPECT_EQ(Config.UnlockMode, 0);
            EXPECT_EQ(Config.FileMark, 0);
        }
    }
}

TEST_F(ConfigFile, UnreadableFileGivesTheReadMessage) {
    // A folder of that name exists but cannot be read as a file.
    ASSERT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
    Config = SampleConfig();
    EXPECT_FALSE(LoadConfigData(Config, path_));
    ExpectOneMessage("Reading configuration file failed! ");
    EXPECT_EQ(Config, SampleConfig());
    RemoveDirectoryA(path_.c_str());
}

TEST_F(ConfigFile, LongerFileKeepsItsTailAndLoadsIgnoringIt) {
    Bytes old(kConfigFileSize + 40, 0x11);
    for (std::size_t i = kConfigFileSize; i < old.size(); ++i) old[i] = static_cast<uint8_t>(i);
    WriteRaw(path_, old);

    Config = SampleConfig();
    ASSERT_TRUE(SaveConfigData(Config, path_));
    const Bytes file = ReadAll(path_);
    ASSERT_EQ(file.size(), old.size());
    EXPECT_EQ(Bytes(file.begin(), file.begin() + kConfigFileSize), ValidImage(SampleConfig()));
    EXPECT_EQ(Bytes(file.begin() + kConfigFileSize, file.end()), Bytes(old.begin() + kConfigFileSize, old.end()));

    Config = ConfigData{};
    EXPECT_TRUE(LoadConfigData(Config, path_));
    EXPECT_EQ(Config.AlertMode, 5);
}

TEST_F(ConfigFile, ShorterFileIsReplacedByExactlyOneRecord) {
    WriteRaw(path_, Bytes(100, 0x22));
    Config = SampleConfig();
    ASSERT_TRUE(SaveConfigData(Config, path_));
    EXPECT_EQ(ReadAll(path_), ValidImage(SampleConfig()));
}

TEST_F(ConfigFile, FailedSaveLeavesOldFileAndRecordAlone) {
    const Bytes old = ValidImage(ConfigData{});
    WriteRaw(path_, old);
    ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));

    Config = SampleConfig();
    EXPECT_FALSE(SaveConfigData(Config, path_));
    ExpectOneMessage("Saving configuration file failed! ");
    EXPECT_EQ(ReadAll(path_), old);
    EXPECT_EQ(Config, SampleConfig()) << "FileMark must stay as it was";
    EXPECT_FALSE(FileExists(path_ + ".tmp"));
}

TEST_F(ConfigFile, SaveIntoMissingFolderFails) {
    const std::string missing = folder_ + "gone\\" + kConfigFileName;
    Config = SampleConfig();
    EXPECT_FALSE(SaveConfigData(Config, missing));
    ExpectOneMessage("Saving configuration file failed! ");
    EXPECT_FALSE(FileExists(missing));
    EXPECT_EQ(Config.FileMark, 0);
}

TEST_F(ConfigFile, FirstRunZeroDeletesTheFileAndWritesOne) {
    WriteRaw(path_, ValidImage(SampleConfig()));
    ASSERT_TRUE(WriteRegistryValue(kAppSystemKey, "FirstRun", " 0 ", kRegSz));
    EXPECT_TRUE(CheckFirstRun(path_, true));
    EXPECT_FALSE(FileExists(path_));
    const RegistryValue value = ReadRegistryValue(kAppSystemKey, "FirstRun");
    ASSERT_TRUE(std::holds_alternative<std::string>(value));
    EXPECT_EQ(TrimNull(std::get<std::string>(value)), "1");
    // Now "1": nothing happens any more.
    WriteRaw(path_, ValidImage(SampleConfig()));
    EXPECT_FALSE(CheckFirstRun(path_, true));
    EXPECT_TRUE(FileExists(path_));
}

TEST_F(ConfigFile, FirstRunMissingOrOtherValueChangesNothing) {
    WriteRaw(path_, ValidImage(SampleConfig()));
    EXPECT_FALSE(CheckFirstRun(path_, true));
    EXPECT_TRUE(IsEmptyValue(ReadRegistryValue(kAppSystemKey, "FirstRun"))) << "never written when absent";
    for (const char* other : {"", "00", "no", "1"}) {
        ASSERT_TRUE(WriteRegistryValue(kAppSystemKey, "FirstRun", other, kRegSz));
        EXPECT_FALSE(CheckFirstRun(path_, true)) << other;
        EXPECT_TRUE(FileExists(path_)) << other;
        EXPECT_EQ(TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, "FirstRun"))), other);
    }
}

TEST_F(ConfigFile, DefaultsTellTheUserThenOpenTheDialog) {
    for (bool isBroken : {false, true}) {
        Shown.clear();
        Events.clear();
        Config = SampleConfig();
        ConfigFileCheck check{.IsFirstRun = !isBroken, .Loaded = !isBroken};
        HandleFirstRunOrBrokenConfig(TestSession(), check, [] { Events.push_back("dialog"); });
        ASSERT_EQ(Shown.size(), 1u);
        EXPECT_EQ(Shown[0].Text, std::string(isBroken ? "Orvo PC Lock configuration file is lost or broken."
                                                      : "You are first running Orvo PC Lock.") +
                                     "\r\nFor computer security, Please reset your lock pattern.");
        EXPECT_EQ(Shown[0].Caption, "Orvo PC Lock");
        EXPECT_EQ(Shown[0].Flags, static_cast<uint32_t>(MB_ICONEXCLAMATION));
        EXPECT_EQ(Events, (std::vector<std::string>{"message", "dialog"}));
        EXPECT_FALSE(check.IsFirstRun);
        EXPECT_EQ(Config.AutoHideTime, 60);
        EXPECT_EQ(Config.AlertMode, 1);
        EXPECT_EQ(ReadFixedText(Config.AlertWord), "Do not touch my computer!");
        EXPECT_EQ(Config.SecretPattern[8], 0) << "3x3 default pattern has 7 points";
        EXPECT_NE(Config.SecretPattern[7], 0);
        EXPECT_EQ(Config.UnlockMode, 2) << "fields outside the defaults are kept";
    }
}

TEST_F(ConfigFile, DefaultsWithoutDialogLeaveAValidFile) {
    StartWithDefaults(TestSession(), false, [] { SaveDefaultsWithoutDialog(Config); });
    EXPECT_EQ(ReadAll(path_).size(), kConfigFileSize);
    const ConfigData defaults = Config;
    Config = ConfigData{};
    EXPECT_TRUE(LoadConfigData(Config, path_));
    EXPECT_EQ(Config, defaults);
}

// A rejected file still sets the grid the start-up laid the windows out for; the defaults go
// back to 3 x 3, so the layout the dialog and the lock window draw must follow before the
// dialog shows the default pattern.
TEST_F(ConfigFile, DefaultsAfterABrokenLargerGridLayTheGridOutAgain) {
    static int sideSeenByDialog;
    sideSeenByDialog = 0;
    ScreenWidth = 800;
    ScreenHeight = 600;
    Config = SampleConfig();   // grid 2, as read from the rejected file
    ComputeLayout(Layout, Config.Grid, ScreenWidth, ScreenHeight);
    ASSERT_EQ(Layout.GridSide, 5);
    StartWithDefaults(TestSession(), true, [] { sideSeenByDialog = Layout.GridSide; });
    EXPECT_EQ(Config.Grid, 0);
    EXPECT_EQ(sideSeenByDialog, 3);
    GridLayout expected;
    ComputeLayout(expected, 0, ScreenWidth, ScreenHeight);
    EXPECT_EQ(Layout.PanelSize, expected.PanelSize);
    EXPECT_EQ(Layout.SmallGridTable, expected.SmallGridTable);
    EXPECT_EQ(Layout.LayoutTable[0], expected.LayoutTable[0]) << "the panel";
    EXPECT_EQ(Layout.LayoutTable[9], expected.LayoutTable[9]) << "the last point of 3 x 3";
}
