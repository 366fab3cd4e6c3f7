// The configuration dialog's buttons: a new pattern, the background picture with its preview,
// the pattern backup, the maintenance tool and the power options; and the grid-size change.
#include "configui/ConfigDialog.h"

#include "core/ProgramFiles.h"
#include "system/Files.h"
#include "system/Messages.h"
#include "system/Text.h"
#include "ui/ImageTable.h"

namespace {

constexpr char kToolName[] = "OrvoPCLockTool.exe";
constexpr char kBadPictureText[] = "' cannot be read as a picture. The background image stays as it was.";

}  // namespace

void ConfigDialog::OnResetPatternClick() {
    const int side = GridSideOf(config_.Grid);
    reset_.StartReset(side * side);
    ResetPattern();
}

void ConfigDialog::OnUseDefaultImageClick() {
    SetFixedText(config_.BackgroundImage, "");
    UseBackgroundImage();
}

void ConfigDialog::OnPickImageClick() {
    const auto previous = config_.BackgroundImage;
    if (PickBackgroundImage() != 1) return;
    // A file GDI+ cannot read as a picture is not taken: the previous setting and picture
    // stay, and the user is told why nothing changed.
    const std::string path = ReadFixedText(config_.BackgroundImage);
    if (!LoadPictureFile(path)) {
        config_.BackgroundImage = previous;
        ShowConfigMessage(hwnd_, "The file '" + path + kBadPictureText, kAppTitle, MB_ICONINFORMATION);
        return;
    }
    UseBackgroundImage();
}

void ConfigDialog::OnBackupPatternClick() {
    if (reset_.IsResetting()) {
        reset_.StopResetting();
        ResetPatternNormal();
    }
    BackupPattern();
}

void ConfigDialog::OnPowerManagerClick() {
    RunShellExecute(nullptr, "open", "rundll32.exe", "shell32.dll,Control_RunDLL   Powercfg.cpl", nullptr,
                    SW_SHOWNORMAL);
}

// ---- background picture ----

int ConfigDialog::PickBackgroundImage() {
    const std::string path = ShowFileDialog(hwnd_, false, "Orvo PC Lock - Choose Background Image",
                                            "*.jpg;*.bmp;*.png|*.jpg;*.bmp;*.png", "", "", "");
    if (path.empty()) return 0;
    SetFixedText(config_.BackgroundImage, path);
    return 1;
}

// Slot 0 made again from the setting: the picked file or the built-in picture. The wipe strips
// cut from the old picture go first: a new picture may well be allocated where the old one
// was, so the strips cannot tell by its address that it changed.
void ConfigDialog::UseBackgroundImage() {
    settings_.ReleaseEffectStrips();
    images_.ReloadBackground(config_, settings_.Model());
    RedrawPreview();
}

void ConfigDialog::RedrawPreview() {
    if (!previewGraphics_) return;
    ClearGraphics(previewGraphics_.get(), 0xFFFFFFFF);
    images_.Draw(previewGraphics_.get(), kSlotBackground, kDrawScaledImage, 0, 0, 320, 240);
    previewGraphics_->Flush(Gdiplus::FlushIntentionSync);
    picBakImage_.Refresh();
}

// ---- maintenance tool ----

void ConfigDialog::StartMaintenanceTool(const char* argument) {
    const std::string path = TheProgramFiles().AppPath + kToolName;
    if (!FileExists(path)) {
        ShowConfigMessage(hwnd_, "Lost file '" + path + "'. Please reinstall Orvo PC Lock to repair this problem!",
                          kAppTitle, MB_ICONINFORMATION);
        return;
    }
    // The tool runs on its own; its result is not awaited.
    RunShellExecute(nullptr, "open", path.c_str(), argument, nullptr, SW_SHOWNORMAL);
}

// ---- grid size ----

void ConfigDialog::ResetDefaultPattern() {
    // The layout, the panel and the typed keys follow the new grid.
    settings_.FitGrid();
    SetDefaultPattern(config_);
    ShowConfigMessage(hwnd_, "Lock Pattern will be reset by default pattern", kAppTitle, MB_ICONINFORMATION);
}
