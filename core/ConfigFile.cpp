// The settings file: load with its acceptance rule, save by atomic replacement, first-run
// detection and the defaults with their message.
#include "core/ConfigFile.h"

#include <windows.h>

#include <vector>

#include "core/AppState.h"
#include "core/ConfigData.h"
#include "configui/FrmConfig.h"
#include "ui/ImageTable.h"
#include "system/Files.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Restrictions.h"
#include "system/Text.h"

namespace {
void RunConfigDialogModally() { ShowConfigDialog(true); }
}  // namespace

ConfigDialogFunction ShowConfigDialogModal = RunConfigDialogModally;

namespace {

// Bigger than any file the program writes; an existing file beyond it is not ours to replace.
constexpr std::size_t kMaxKeptFileSize = 16u * 1024u * 1024u;

int32_t ReadFailed() {
    ShowMessage(kReadConfigFailedText, kAppTitle, MB_ICONEXCLAMATION);
    return 1;
}

int32_t SaveFailed() {
    ShowMessage(kSaveConfigFailedText, kAppTitle, MB_ICONEXCLAMATION);
    return 1;
}

}  // namespace

int32_t LoadConfigData(const std::string& path) {
    if (!FileExists(path)) return 1;
    const auto read = ReadFileBytes(path, kConfigFileSize);
    if (!read) return ReadFailed();
    // The record is overwritten with whatever was there, also when it is then rejected: the
    // defaults that follow keep the choices they do not cover.
    if (!LoadConfigImage(*read, Config)) return ReadFailed();
    return 0;
}

int32_t SaveConfigData(const std::string& path) {
    ConfigData saved = Config;
    saved.FileMark = kConfigFileMark;
    const ConfigBytes image = EncodeConfig(saved);
    std::vector<uint8_t> bytes(image.begin(), image.end());

    // The file used to be rewritten in place without truncation, so a longer file kept its
    // bytes after the record; the replacement carries them over. An existing file that cannot
    // be read is left alone rather than replaced without its tail.
    if (FileExists(path)) {
        const auto old = ReadFileBytes(path, kMaxKeptFileSize, true);
        if (!old) return SaveFailed();
        if (old->size() > bytes.size()) bytes.insert(bytes.end(), old->begin() + bytes.size(), old->end());
    }
    // Never rewrite the only copy in place: a failed write would leave a torn file and lose
    // the secret pattern. The old file stays intact until the new one is complete on disk.
    if (!ReplaceFileContents(path, bytes)) return SaveFailed();
    Config.FileMark = kConfigFileMark;
    return 0;
}

bool CheckFirstRun() {
    const std::string firstRun = TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, "FirstRun")));
    if (firstRun != "0") return false;
    // A missing file is fine: the point is a fresh start from the defaults.
    DeleteFileA(ConfigFilePath.c_str());
    WriteRegistryValue(kAppSystemKey, "FirstRun", "1", kRegSz);
    return true;
}

void SaveDefaultsWithoutDialog() {
    // Failure is reported by SaveConfigData itself.
    SaveConfigData(ConfigFilePath);
}

void IniDefaultConfig(bool isBroken) {
    ApplyDefaultConfig(Config);
    // The setup program may have switched the start-up lock on already; a default of "Off"
    // would show the wrong choice and, once saved, disagree with the Run value that stays.
    if (IsStartupLockOn(AppPath, AppExeName)) Config.AutoStartLock = -1;
    IniDefaultPattern(Config);
    // A rejected file may have named a larger grid, and the start-up laid the lock window and
    // the pattern boxes out for it; the default pattern is for 3 x 3, so the layout and the
    // panel follow before anything shows the grid.
    if (Layout.GridSide != GridSideOf(Config.Grid)) {
        IniLayout(Layout, Config.Grid, ScreenWidth, ScreenHeight);
        RebuildPanelImage();
    }
    const std::string first = isBroken ? "Orvo PC Lock configuration file is lost or broken."
                                       : "You are first running Orvo PC Lock.";
    ShowMessage(first + "\r\nFor computer security, Please reset your lock pattern.", kAppTitle,
                MB_ICONEXCLAMATION);
    if (ShowConfigDialogModal) ShowConfigDialogModal();
    IsFirstRun = false;
}
