// The configuration dialog: its one instance, the window procedures of the dialog and its panes,
// the load and unload sequences, and the handlers that write ConfigData as the controls change.
#include "configui/ConfigDialog.h"

#include <commctrl.h>

#include "core/ConfigFile.h"
#include "core/PolicyRegistry.h"
#include "core/ProgramFiles.h"
#include "system/Messages.h"
#include "system/Restrictions.h"
#include "system/Text.h"
#include "ui/SingleWindow.h"

// A task-modal box disables the dialog while it is open and enables it again only after the
// box has gone, so the activation that the closing box hands on finds the dialog disabled and
// leaves it inactive; the user would have to click it before the keyboard reaches it again.
int ShowConfigMessage(HWND dialog, const std::string& text, const std::string& caption, UINT flags) {
    const int answer = ShowMessage(text, caption, flags | MB_TASKMODAL);
    if (dialog && IsWindow(dialog) && IsWindowVisible(dialog)) SetForegroundWindow(dialog);
    return answer;
}

// ---- the one instance ----

void ShowConfigDialog(SingleWindow<ConfigDialog>& window, bool modal, ConfigData& config, ImageTable& images,
                      LockScreenSettings& settings, ActivityNotes& notes) {
    HWND hwnd = nullptr;
    if (ConfigDialog* dialog =
            window.ShowNew(std::make_unique<ConfigDialog>(config, images, settings, notes), GetModuleHandleA(nullptr)))
        hwnd = dialog->Hwnd();
    if (!modal || !hwnd) return;
    // The first-run dialog: start-up waits here until it is closed. A WM_QUIT that arrives
    // meanwhile is put back for the program's own loop.
    MSG msg;
    while (window.Hwnd() == hwnd) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1) break;
        if (!window.IsDialogKeyMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}


// ---- window ----

// Only for a window that never finished being made: a shown one takes the object with it.
ConfigDialog::~ConfigDialog() {
    if (hwnd_) {
        // Detached first, so the window procedure does not reach a half-destroyed object.
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

bool ConfigDialog::RegisterWindowClasses(HINSTANCE instance) {
    WNDCLASSEXA dialog{};
    dialog.hInstance = instance;
    dialog.hCursor = LoadCursor(nullptr, IDC_ARROW);
    dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    dialog.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    dialog.lpszClassName = kConfigClassName;
    if (!RegisterWindowClass(dialog)) return false;
    WNDCLASSEXA pane{};
    pane.lpfnWndProc = PaneProc;
    pane.hInstance = instance;
    pane.hCursor = LoadCursor(nullptr, IDC_ARROW);
    pane.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    pane.lpszClassName = kConfigPaneClassName;
    return EnsureWindowClass(pane);
}

bool ConfigDialog::Create(HINSTANCE instance) {
    if (hwnd_ || !RegisterWindowClasses(instance)) return false;
    paneBrush_.reset(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    const RECT frame = CentredFrameForDpi(style, exStyle, kConfigClientWidth, kConfigClientHeight, kDefaultDpi);
    if (!CreateWindowFor(exStyle, kConfigClassName, kConfigCaption, style, frame.left, frame.top,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance))
        return false;
    layout_.SetDpi(RecentreFrameForWindowDpi(hwnd_, kConfigClientWidth, kConfigClientHeight));
    font_.reset(CreateArialFont(false, layout_.Dpi()));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    CreateControls();
    ShowSettings();
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (HWND ok = GetDlgItem(hwnd_, kIdCmdConfig)) SetFocus(ok);
    return true;
}

LRESULT ConfigDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header && header->idFrom == kIdTabStrip && header->code == kTabStripMouseDown) {
            ShowPane(reinterpret_cast<const TabStripNotify*>(lp)->Index);
            return 0;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_DPICHANGED:
        OnDpiChanged(TakeSuggestedDpiRect(hwnd_, wp, lp));
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(kIdCmdConfig, DC_HASDEFID);
    case WM_CLOSE:
        DestroyWindow(hwnd_);   // WM_DESTROY saves; the object ends with the window
        return 0;
    case WM_DESTROY:
        SaveAndRelease();
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

// The panes only carry controls: what their controls report goes to the dialog.
LRESULT CALLBACK ConfigDialog::PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (HWND dialog = GetParent(hwnd)) return SendMessageA(dialog, msg, wp, lp);
        break;
    case WM_PAINT: {
        // A light frame round each picture box, outside it, so the saved canvas keeps its
        // full 322 x 322 pixels.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (!dc) return 0;
        for (int id : {static_cast<int>(kIdPicReset), static_cast<int>(kIdPicBakImage)}) {
            HWND box = GetDlgItem(hwnd, id);
            RECT rc{};
            if (!box || !GetWindowRect(box, &rc)) continue;
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rc), 2);
            InflateRect(&rc, 1, 1);
            UniqueHbrush frame(CreateSolidBrush(RGB(192, 192, 192)));
            if (frame) FrameRect(dc, &rc, frame.get());
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// Labels, the frames and the check box sit on the white page, not on the dialog face.
LRESULT ConfigDialog::OnCtlColor(HDC dc, HWND control) {
    if (!control || GetParent(control) == hwnd_ || !paneBrush_) {
        return DefWindowProcA(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    }
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(paneBrush_.get());
}

// ---- load and unload ----

void ConfigDialog::ShowSettings() {
    FillControls();
    CreateDrawingObjects();
    RedrawPreview();
    ResetPatternNormal();
}

// However the dialog closes it saves; a save failure has shown its message and the dialog
// still closes.
void ConfigDialog::SaveAndRelease() {
    SaveConfigData(config_, TheProgramFiles().ConfigFilePath);
    ReleaseDrawingObjects();
}

void ConfigDialog::CreateDrawingObjects() {
    if (picBakImage_.Dc()) {
        previewGraphics_ = NewGdiPlus<Gdiplus::Graphics>(picBakImage_.Dc());
        if (previewGraphics_) previewGraphics_->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    }
    if (picReset_.Dc()) {
        resetGraphics_ = NewGdiPlus<Gdiplus::Graphics>(picReset_.Dc());
        if (resetGraphics_) {
            resetGraphics_->SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            resetGraphics_->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        }
    }
    patternPen_ = NewGdiPlus<Gdiplus::Pen>(Gdiplus::Color(255, 0, 63, 255), 19.0f);
    CreateGraphicFont(L"Arial", 12);
}

void ConfigDialog::ReleaseDrawingObjects() {
    DeleteGraphicFont();
    patternPen_.reset();
    resetGraphics_.reset();
    previewGraphics_.reset();
}

// ---- filling the controls ----

// Setting a selection runs that list's handler, as a user's choice would; a stored value
// outside the list leaves the list without a selection and its field untouched.
void ConfigDialog::SelectListEntry(int id, int index) {
    HWND list = Control(id);
    if (!list || index < 0 || SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR) {
        if (list) SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    if (id == kIdCombGrid) ChangeGrid();
    else StoreListChoice(id);
}

int ConfigDialog::ListIndex(int id) const {
    HWND list = Control(id);
    if (!list) return -1;
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ConfigDialog::ResetPointsForGrid() {
    const int side = GridSideOf(config_.Grid);
    reset_.Recreate(side * side);
}

void ConfigDialog::FillControls() {
    isLoading_ = true;
    ResetPointsForGrid();
    SelectListEntry(kIdCombAutoStartLock, config_.AutoStartLock != 0 ? 1 : 0);
    SelectListEntry(kIdCombAutoLock, TimeListIndexOf(config_.AutoLockTime));
    SelectListEntry(kIdCombAutoHide, TimeListIndexOf(config_.AutoHideTime));
    SelectListEntry(kIdCombMonitor, TimeListIndexOf(config_.MonitorOffTime));
    SelectListEntry(kIdCombAlert, config_.AlertTimes);
    SelectListEntry(kIdCombAlertMode, config_.AlertMode);
    SelectListEntry(kIdCombGrid, config_.Grid);
    SelectListEntry(kIdCombEffect, config_.Effect);
    SelectListEntry(kIdCombDisconnection, config_.Disconnection);
    SelectListEntry(kIdCombLockKeyboard, config_.LockKeyboard);
    SelectListEntry(kIdCombUnlockMode, config_.UnlockMode);

    // The stored text up to its first NUL goes back blank-padded; the box shows it trimmed.
    const std::string stored(config_.AlertWord.data(), config_.AlertWord.size());
    SetFixedText(config_.AlertWord, stored.substr(0, stored.find('\0')));
    if (HWND text = Control(kIdTxtAlertWord)) SetWindowTextA(text, TrimNull(stored).c_str());
    StoreAlertText();

    if (HWND check = Control(kIdChkTransparentBackground)) {
        SendMessageA(check, BM_SETCHECK, IsTransparentBackground(config_) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    StoreTransparentBackground();
    DisableListsSetByPolicy();
    isLoading_ = false;
}

namespace {
struct PolicyList {
    PolicySetting Setting;
    int ListId;
};
constexpr PolicyList kPolicyLists[] = {
    {PolicySetting::AutoStartLock, kIdCombAutoStartLock}, {PolicySetting::AutoLockTime, kIdCombAutoLock},
    {PolicySetting::AlertTimes, kIdCombAlert},           {PolicySetting::AlertMode, kIdCombAlertMode},
    {PolicySetting::LockKeyboard, kIdCombLockKeyboard},
};
}  // namespace

bool AnyListSetByPolicy() {
    for (const PolicyList& entry : kPolicyLists)
        if (ThePolicyOverlay().IsSet(entry.Setting)) return true;
    return false;
}

void ConfigDialog::DisableListsSetByPolicy() {
    for (const PolicyList& entry : kPolicyLists) {
        HWND list = Control(entry.ListId);
        if (list && ThePolicyOverlay().IsSet(entry.Setting)) EnableWindow(list, FALSE);
    }
}

// ---- handlers ----

void ConfigDialog::OnCommand(int id, int code, HWND control) {
    if (id == kIdCmdConfig && code == BN_CLICKED) {
        DestroyWindow(hwnd_);   // OK closes: WM_DESTROY saves; this object is gone afterwards
    } else if (id >= kIdCmdResetPattern && id <= kIdCmdPowerManager && code == BN_CLICKED) {
        switch (id) {
        case kIdCmdResetPattern: OnResetPatternClick(); break;
        case kIdCmdUseDefaultImage: OnUseDefaultImageClick(); break;
        case kIdCmdPickImage: OnPickImageClick(); break;
        case kIdCmdBackupPattern: OnBackupPatternClick(); break;
        case kIdCmdEnableSafeModeLock: StartMaintenanceTool("/Enable"); break;
        case kIdCmdDisableSafeModeLock: StartMaintenanceTool("/Disable"); break;
        case kIdCmdFixTroubles: StartMaintenanceTool("/Fix"); break;
        case kIdCmdPowerManager: OnPowerManagerClick(); break;
        default: break;
        }
    } else if (id >= kIdCombGrid && id <= kIdCombEffect && code == CBN_SELCHANGE) {
        if (id == kIdCombGrid) ChangeGrid();
        else StoreListChoice(id);
    } else if (id == kIdTxtAlertWord && code == EN_CHANGE) {
        if (!isLoading_) StoreAlertText();
    } else if (id == kIdChkTransparentBackground && code == BN_CLICKED) {
        StoreTransparentBackground();
    }
}

// Shows the pane of the picked tab; the others are hidden as well as lying behind it, so
// keyboard navigation never reaches a control that cannot be seen.
void ConfigDialog::ShowPane(int16_t index) {
    const int shown = index + 1;
    if (shown < 1 || shown > kConfigPaneCount || !picConfig_[shown - 1]) return;
    HWND front = picConfig_[shown - 1];
    SetWindowPos(front, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    for (HWND pane : picConfig_) {
        if (pane && pane != front) ShowWindow(pane, SW_HIDE);
    }
}

// Moved to a monitor of another DPI: every control to its place and size there, in the font of
// that DPI. The old font goes only after no control uses it any more.
void ConfigDialog::OnDpiChanged(int dpi) {
    UniqueHfont font(CreateArialFont(false, dpi));
    HFONT use = font ? font.get() : font_.get();
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(use), FALSE);
    xpTab_.SetDpi(dpi);
    layout_.Rescale(dpi, use);
    if (font) font_ = std::move(font);
    FitOpenListWidths();
}

void ConfigDialog::ChangeGrid() {
    const int index = ListIndex(kIdCombGrid);
    if (index < 0 || index == config_.Grid) return;
    config_.Grid = static_cast<uint8_t>(index);
    ResetDefaultPattern();
    const int side = GridSideOf(config_.Grid);
    reset_.Recreate(side * side);
    ResetPatternNormal();
}

void ConfigDialog::StoreListChoice(int id) {
    const int index = ListIndex(id);
    if (index < 0) return;
    switch (id) {
    case kIdCombAutoStartLock: {
        const ProgramFiles& files = TheProgramFiles();
        config_.AutoStartLock = SetStartupLock(index != 0, files.AppPath, files.AppExeName) ? -1 : 0;
        break;
    }
    case kIdCombAutoLock:      config_.AutoLockTime = TimeListSeconds(index); break;
    case kIdCombMonitor:       config_.MonitorOffTime = TimeListSeconds(index); break;
    case kIdCombAutoHide:      config_.AutoHideTime = TimeListSeconds(index); break;
    case kIdCombAlert:         config_.AlertTimes = index; break;
    case kIdCombAlertMode:     config_.AlertMode = index; break;
    case kIdCombEffect:        config_.Effect = static_cast<int16_t>(index); break;
    case kIdCombDisconnection: config_.Disconnection = static_cast<int16_t>(index); break;
    case kIdCombLockKeyboard:  config_.LockKeyboard = static_cast<int16_t>(index); break;
    case kIdCombUnlockMode:
        notes_.SetUnlockMode(index);
        config_.UnlockMode = static_cast<uint8_t>(index);
        break;
    default: break;
    }
}

// The field holds the trimmed text; the box keeps what was typed, blanks and all.
void ConfigDialog::StoreAlertText() {
    HWND box = Control(kIdTxtAlertWord);
    if (!box) return;
    const int length = GetWindowTextLengthA(box);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(box, text.data(), length + 1)));
    SetFixedText(config_.AlertWord, TrimBlanks(text));
    settings_.SetAlertText(ReadFixedText(config_.AlertWord));
}

void ConfigDialog::EnableBackgroundControls(bool enable) {
    for (int id : {kIdCmdUseDefaultImage, kIdCmdPickImage, kIdCombEffect}) {
        if (HWND control = Control(id)) EnableWindow(control, enable);
    }
}

void ConfigDialog::StoreTransparentBackground() {
    HWND check = Control(kIdChkTransparentBackground);
    if (!check) return;
    const bool ticked = SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
    config_.TransparentBackground = ticked ? 1 : 0;
    EnableBackgroundControls(!ticked);
}

