// The configuration dialog: every setting of ConfigData, the background picture, the
// maintenance tool's actions and a new secret pattern with its backup. Each control writes its
// field the moment it changes; the file is written when the dialog closes, however it closes.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "system/WinHandles.h"
#include "ui/GdiPlusHandles.h"
#include "ui/LockRoles.h"
#include "ui/PictureBox.h"
#include "ui/ResetPatternState.h"
#include "ui/ShellRun.h"
#include "ui/SingleWindow.h"
#include "ui/WindowDpi.h"
#include "ui/TabStrip.h"
#include "ui/Window.h"

// Control ids, unique across the dialog and its panes (tests find the controls by them).
enum ConfigControlId : int {
    kIdCmdConfig = IDOK,          // "&OK": Enter closes the dialog like the button
    kIdTabStrip = 100,
    kIdPicConfig = 110,           // + pane index 0..3 (PicConfig(1) .. PicConfig(4))
    kIdFrame = 115,               // + pane index: the frame of each pane
    kIdCmdResetPattern = 120,     // the pattern pane: draw a new pattern
    kIdCmdUseDefaultImage,        // the background pane: the built-in picture
    kIdCmdPickImage,              // the background pane: a picture file
    kIdCmdBackupPattern,          // the pattern pane: save the pattern as a picture
    kIdCmdEnableSafeModeLock,     // the advanced pane: the tool's "/Enable"
    kIdCmdDisableSafeModeLock,    // the advanced pane: the tool's "/Disable"
    kIdCmdFixTroubles,            // the advanced pane: the tool's "/Fix"
    kIdCmdPowerManager,           // the advanced pane: the system's power options
    kIdPicReset = 130,
    kIdPicBakImage = 131,
    kIdCombGrid = 140,
    kIdCombAutoStartLock,
    kIdCombAutoLock,
    kIdCombMonitor,
    kIdCombAutoHide,
    kIdCombDisconnection,
    kIdCombAlert,
    kIdCombAlertMode,
    kIdCombLockKeyboard,
    kIdCombUnlockMode,
    kIdCombEffect,
    kIdTxtAlertWord = 160,
    kIdChkTransparentBackground = 161,
    kIdLabel1 = 170,              // + index 0..8
    kIdLabel2 = 180,
    kIdLabel3 = 185,              // + index 0..2
    kIdLblPolicyFailures = 190,   // the restrictions the last lock could not apply
    kIdLblWeakFallback = 191,     // Windows' own lock keeps nobody out on this account
    kIdLblSetByPolicy = 192,      // shown when an organisation's policy sets a choice
    kIdLblDefaultPattern = 193,   // the note while the secret is the default pattern
};

inline constexpr char kSetByPolicyNote[] = "Set by your organization";
inline constexpr char kConfigCaption[] = "Orvo PC Lock - Configure";
inline constexpr char kConfigClassName[] = "OrvoConfigDialog";
inline constexpr char kConfigPaneClassName[] = "OrvoConfigPane";
constexpr int kConfigClientWidth = 402;
constexpr int kConfigClientHeight = 489;
constexpr int kConfigPaneCount = 4;

struct ConfigData;
class ConfigDialog;
class ImageTable;

// Shows the configuration dialog of `window`, which edits `config` (and saves it when it closes),
// draws its preview and pattern box from `images` (and loads a new picture there), changes the
// lock screen through `settings` and the unlock mode through `notes`. Modal: returns when it has
// closed (first run). Modeless: returns at once; asking again while it is open brings it
// forward unchanged.
void ShowConfigDialog(SingleWindow<ConfigDialog>& window, bool modal, ConfigData& config, ImageTable& images,
                      LockScreenSettings& settings, ActivityNotes& notes);
// Whether a policy sets a choice of the "General" pane.
bool AnyListSetByPolicy();

// The common file dialog. Filter parts are separated by '|'. Empty when cancelled, failed or
// when the default name is longer than the buffer.
std::string ShowFileDialog(HWND owner, bool isSave, const std::string& title, const std::string& filter,
                           const std::string& defaultName, const std::string& defaultExt,
                           const std::string& initialDir);
// Seam for the Windows tests: a replacement for GetOpenFileNameA / GetSaveFileNameA that gets
// the prepared structure. nullptr restores the real call; returns the previous replacement.
using FileDialogFn = BOOL (*)(OPENFILENAMEA* ofn, bool isSave);
FileDialogFn SetFileDialogFn(FileDialogFn fn);

// The dialog's message boxes: through the shared ShowMessage seam, task-modal so that no window
// of the program takes input while one is open; `dialog` (may be null) is brought forward again.
int ShowConfigMessage(HWND dialog, const std::string& text, const std::string& caption, UINT flags);

class ConfigDialog : public Window<ConfigDialog> {
public:
    ConfigDialog(ConfigData& config, ImageTable& images, LockScreenSettings& settings, ActivityNotes& notes)
        : config_(config), images_(images), settings_(settings), notes_(notes) {}
    ConfigDialog(const ConfigDialog&) = delete;
    ConfigDialog& operator=(const ConfigDialog&) = delete;
    ~ConfigDialog();

    bool Create(HINSTANCE instance);

    void FillControls();
    // Greys the lists whose setting an organisation's policy decides.
    void DisableListsSetByPolicy();
    void CreateDrawingObjects();
    void ReleaseDrawingObjects();
    int PickBackgroundImage();

    // The pattern canvas (PatternCanvas.cpp).
    void ResetPattern();
    void ResetPatternNormal();
    void ShowDefaultPatternNote();
    void ResetPatternAction();
    void BackupPattern();
    void CreateGraphicFont(const wchar_t* strFont, int bytFontSize);
    void DeleteGraphicFont();
    void DrawCanvasText(const std::string& strText, float x, float y, float tRight, float tBottom);
    const ResetPatternState& ResetState() const { return reset_; }

private:
    friend class Window<ConfigDialog>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static bool RegisterWindowClasses(HINSTANCE instance);

    // Building the controls (ConfigPanes.cpp).
    void CreateControls();
    void CreatePane(int index, const char* frameCaption);
    // x, y, width and height are at 96 DPI; the control is made at the dialog's DPI.
    HWND AddControl(HWND parent, const char* className, const char* text, DWORD style, int id, int x, int y,
                    int width, int height, DWORD exStyle = 0);
    HWND AddList(int pane, int id, int x, int y, int width, const char* const* entries, int count);
    void CreateResetPane();
    void CreateGeneralPane();
    void CreateBackgroundPane();
    void CreateAdvancedPane();
    HWND Control(int id) const;
    void FitOpenListWidths();

    // Events.
    void ShowSettings();
    void SaveAndRelease();
    void OnCommand(int id, int code, HWND control);
    void ShowPane(int16_t index);
    void OnDpiChanged(int dpi);
    // One handler per button.
    void OnResetPatternClick();
    void OnUseDefaultImageClick();
    void OnPickImageClick();
    void OnBackupPatternClick();
    void OnPowerManagerClick();
    void StoreListChoice(int id);
    void ChangeGrid();
    // The grid size changed: new layout, the built-in default pattern, the lock window's panel
    // made again, and the user told.
    void ResetDefaultPattern();
    void StoreAlertText();
    void StoreTransparentBackground();
    void StartNewPattern(int button, int shift, int x, int y);
    void ExtendNewPattern(int button, int shift, int x, int y);
    void TakeNewPattern(int button, int shift, int x, int y);
    LRESULT OnCtlColor(HDC dc, HWND control);

    // Helpers.
    void SelectListEntry(int id, int index);
    int ListIndex(int id) const;
    void EnableBackgroundControls(bool enable);
    void RedrawPreview();
    void UseBackgroundImage();
    void StartMaintenanceTool(const char* argument);
    void ShowSequence(const std::vector<int>& sequence);
    void DrawEmptyGrid();
    void ResetPointsForGrid();

    const GridLayout& Layout() const { return settings_.Model().Layout; }

    ConfigData& config_;
    ImageTable& images_;
    LockScreenSettings& settings_;
    ActivityNotes& notes_;   // the unlock mode
    ScaledLayout layout_;
    UniqueHfont font_;
    UniqueHbrush paneBrush_;
    TabStrip xpTab_;
    HWND picConfig_[kConfigPaneCount] = {};
    PictureBox picReset_;
    PictureBox picBakImage_;
    bool isLoading_ = false;     // FillControls runs the handlers itself

    ResetPatternState reset_;
    GdiPlusPtr<Gdiplus::Graphics> previewGraphics_;
    GdiPlusPtr<Gdiplus::Graphics> resetGraphics_;
    GdiPlusPtr<Gdiplus::Pen> patternPen_;
    GdiPlusPtr<Gdiplus::FontFamily> fontFamily_;
    GdiPlusPtr<Gdiplus::Font> font12_;
    GdiPlusPtr<Gdiplus::StringFormat> stringFormat_;
    GdiPlusPtr<Gdiplus::SolidBrush> textBrush_;
};
