// The settings file: load with its acceptance rule, save by atomic replacement, first-run
// detection and the defaults with their message.
#include "core/ConfigFile.h"

#include <windows.h>

#include <vector>

#include "core/ConfigData.h"
#include "core/FirstRun.h"
#include "core/PolicyRegistry.h"
#include "system/Files.h"
#include "system/Messages.h"
#include "system/Registry.h"
#include "system/Text.h"

namespace {

// Bigger than any file the program writes; an existing file beyond it is not ours to replace.
constexpr std::size_t kMaxKeptFileSize = 16u * 1024u * 1024u;

bool ReadFailed() {
    ShowMessage(kReadConfigFailedText, kAppTitle, MB_ICONEXCLAMATION);
    return false;
}

bool SaveFailed() {
    ShowMessage(kSaveConfigFailedText, kAppTitle, MB_ICONEXCLAMATION);
    return false;
}

}  // namespace

ConfigRead ReadConfigData(ConfigData& config, const std::string& path) {
    if (!FileExists(path)) return ConfigRead::Missing;
    const auto read = ReadFileBytes(path, kConfigFileSize);
    if (!read) return ConfigRead::Unreadable;
    // The record is overwritten with whatever was there, also when it is then rejected: the
    // defaults that follow keep the choices they do not cover.
    return LoadConfigImage(*read, config) ? ConfigRead::Loaded : ConfigRead::Unreadable;
}

bool LoadConfigData(ConfigData& config, const std::string& path) {
    switch (ReadConfigData(config, path)) {
    case ConfigRead::Loaded: return true;
    case ConfigRead::Missing: return false;
    case ConfigRead::Unreadable: break;
    }
    return ReadFailed();
}

void TellConfigReadFailed() { ReadFailed(); }

bool SaveConfigData(ConfigData& config, const std::string& path) {
    // What an organisation sets by policy never reaches the file: it keeps the user's own values.
    ConfigData saved = ThePolicyOverlay().ForFile(config);
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
    config.FileMark = kConfigFileMark;
    return true;
}

bool AccountIsKnown() { return RegistryKeyHasContent(kAppUserKey); }

bool CheckFirstRun(const std::string& configPath, bool accountWasKnown) {
    const FirstRunDecision decision = DecideFirstRun(
        {.FirstRunValue = TrimNull(RegistryValueText(ReadRegistryValue(kAppSystemKey, "FirstRun"))),
         .FileExists = FileExists(configPath),
         .UserKeyHasValues = accountWasKnown});
    if (!decision.IsFirstRun) return false;
    // A missing file is fine: the point is a fresh start from the defaults.
    if (decision.DeleteFile) DeleteFileA(configPath.c_str());
    WriteRegistryValue(kAppSystemKey, "FirstRun", "1", kRegSz);
    return true;
}
