// The controls of the configuration dialog: the tab strip, the four panes with their frames, and
// every label, list, button and box at its place with its text.
#include "configui/ConfigDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "system/AccountProbe.h"

namespace {

constexpr int kPaneLeft = 20, kPaneTop = 42, kPaneWidth = 360, kPaneHeight = 400;
constexpr int kButtonHeight = 23;
constexpr int kRowHeight = 21;
constexpr int kOpenListRows = 12;   // an open list shows this many entries, then scrolls

const char* const kGridEntries[] = {"3 * 3 (9 Points)", "4 * 4 (16 Points) ", "5 * 5 (25 Points)"};
const char* const kOffOn[] = {"Off", "On"};
const char* const kNoYes[] = {"No", "Yes"};
const char* const kTimeEntries[] = {"Never", "1 minute", "2 minutes", "3 minutes", "4 minutes", "5 minutes",
                                    "10 minutes", "15 minutes", "20 minutes", "25 minutes", "30 minutes",
                                    "45 minutes", "1 hour", "2 hours", "3 hours", "5 hours"};
const char* const kAlertEntries[] = {"Never", "1 time", "2 times", "3 times", "4 times", "5 times", "6 times",
                                     "7 times"};
const char* const kAlertModeEntries[] = {"None", "Alarm with 1 minute", "Alarm with 2 minutes",
                                         "Alarm with 3 minutes", "Lock computer", "Shutdown computer"};
const char* const kUnlockModeEntries[] = {"Normal Unlock Mode", "Secure Unlock Mode", "Dynamic Password Mode"};
const char* const kEffectEntries[] = {"Effect Off", "Effect On"};

// Rows of the "General" pane: label index, its text, the list, its entries.
struct OptionRow {
    int y;
    int labelIndex;
    const char* label;
    int listId;
    const char* const* entries;
    int count;
};
const OptionRow kOptionRows[] = {
    {30, 0, "Autolock at Windows startup: ", kIdCombAutoStartLock, kOffOn, 2},
    {60, 4, "Autolock computer after: ", kIdCombAutoLock, kTimeEntries, 16},
    {90, 1, "Turn off the monitor after: ", kIdCombMonitor, kTimeEntries, 16},
    {120, 2, "Autohide unlock window after: ", kIdCombAutoHide, kTimeEntries, 16},
    {150, 6, "Disconnect internet when locked: ", kIdCombDisconnection, kNoYes, 2},
    {180, 3, "Alert after enter incorrect pattern over: ", kIdCombAlert, kAlertEntries, 8},
    {210, 5, "Alert mode:", kIdCombAlertMode, kAlertModeEntries, 6},
    {240, 7, "Lock keyboard:", kIdCombLockKeyboard, kNoYes, 2},
    {270, 8, "Unlock mode:", kIdCombUnlockMode, kUnlockModeEntries, 3},
};

}  // namespace

HWND ConfigDialog::AddControl(HWND parent, const char* className, const char* text, DWORD style, int id, int x, int y,
                           int width, int height, DWORD exStyle) {
    const DpiRect rect96{x, y, width, height};
    const DpiRect at = layout_.Scale(rect96);
    HWND control = CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, at.Left, at.Top, at.Width,
                                   at.Height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                   nullptr);
    layout_.Remember(control, rect96);
    if (control && font_) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return control;
}

// A drop-down list that cannot be typed into; the height given to the window is that of the
// opened list, the closed box takes its height from the font.
HWND ConfigDialog::AddList(int pane, int id, int x, int y, int width, const char* const* entries, int count) {
    const int dropHeight = kRowHeight + 4 + 16 * (count < kOpenListRows ? count : kOpenListRows);
    HWND list = AddControl(picConfig_[pane], WC_COMBOBOXA, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, id, x, y,
                           width, dropHeight);
    for (int i = 0; list && i < count; ++i) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i]));
    return list;
}

// A list narrower than its longest entry opens wide enough to show every entry whole (the closed
// box keeps its width and shows as much of the chosen entry as fits). The width follows the
// font, so it is measured again when the DPI changes.
void ConfigDialog::FitOpenListWidths() {
    for (int id = kIdCombGrid; id <= kIdCombEffect; ++id) {
        HWND list = Control(id);
        WindowDc dc(list);
        if (!list || !dc.get() || !font_) continue;
        SelectGuard select(dc.get(), font_.get());
        int widest = 0;
        char entry[128];
        const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = SendMessageA(list, CB_GETLBTEXTLEN, i, 0);
            if (length <= 0 || length >= static_cast<LRESULT>(sizeof entry)) continue;
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
            SIZE size{};
            if (GetTextExtentPoint32A(dc.get(), entry, static_cast<int>(length), &size)) widest = std::max<int>(widest, size.cx);
        }
        // Room for the list's border, the entries' margins and, past twelve rows, its scroll bar.
        const int margins = 4 * GetSystemMetrics(SM_CXEDGE) + layout_.Scale(4);
        const int scrollBar = count > kOpenListRows ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        SendMessageA(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + margins + scrollBar), 0);
    }
}

HWND ConfigDialog::Control(int id) const {
    if (id == kIdCmdConfig || id == kIdTabStrip) return GetDlgItem(hwnd_, id);
    for (HWND pane : picConfig_) {
        if (HWND found = pane ? GetDlgItem(pane, id) : nullptr) return found;
    }
    return nullptr;
}

// Each pane is a child window lying on the tab strip's page, carrying a frame of its own size.
// The pane does not clip its children: the frame covers all of it, and a frame paints only
// its edge and caption, so the pane itself must paint the white behind everything.
void ConfigDialog::CreatePane(int index, const char* frameCaption) {
    const DpiRect rect96{kPaneLeft, kPaneTop, kPaneWidth, kPaneHeight};
    const DpiRect at = layout_.Scale(rect96);
    picConfig_[index] = CreateWindowExA(WS_EX_CONTROLPARENT, kConfigPaneClassName, "", WS_CHILD | WS_CLIPSIBLINGS,
                                        at.Left, at.Top, at.Width, at.Height, hwnd_,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdPicConfig + index)),
                                        GetModuleHandleA(nullptr), nullptr);
    if (!picConfig_[index]) return;
    layout_.Remember(picConfig_[index], rect96);
    AddControl(picConfig_[index], WC_BUTTONA, frameCaption, BS_GROUPBOX | WS_CLIPSIBLINGS, kIdFrame + index, 0, 0,
               kPaneWidth, kPaneHeight);
}

void ConfigDialog::CreateResetPane() {
    CreatePane(0, " Lock Pattern: ");
    HWND pane = picConfig_[0];
    if (!pane) return;
    // The canvas keeps its 322 x 322 picture (the backup file is that picture); the box shows
    // it at the dialog's scale.
    picReset_.Create(pane, kIdPicReset, 18, 30, 322, 322);
    layout_.Place(picReset_.Hwnd(), {18, 30, 322, 322});
    // In the strip below the lowest points, which every grid size leaves blank (the box's last 27
    // pixels), above the box in the z-order.
    if (HWND note = AddControl(pane, WC_STATICA, kDefaultPatternNote, SS_CENTER | SS_NOPREFIX, kIdLblDefaultPattern,
                               20, 325, 318, 27))
        SetWindowPos(note, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    picReset_.OnMouseDown = [this](int b, int s, int x, int y) { StartNewPattern(b, s, x, y); };
    picReset_.OnMouseMove = [this](int b, int s, int x, int y) { ExtendNewPattern(b, s, x, y); };
    picReset_.OnMouseUp = [this](int b, int s, int x, int y) { TakeNewPattern(b, s, x, y); };
    AddControl(pane, WC_BUTTONA, "Reset Pattern", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdResetPattern, 15, 365, 100,
               kButtonHeight);
    // The grid list is as wide as its longest entry, "4 * 4 (16 Points) ", needs.
    AddControl(pane, WC_BUTTONA, "Backup Pattern", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdBackupPattern, 121, 365, 100,
               kButtonHeight);
    AddList(0, kIdCombGrid, 228, 365, 112, kGridEntries, static_cast<int>(std::size(kGridEntries)));
}

// Labels are as tall as a closed list and centre their text vertically, so each caption lines
// up with the list beside it while both keep the same top.
void ConfigDialog::CreateGeneralPane() {
    CreatePane(1, " Options: ");
    HWND pane = picConfig_[1];
    if (!pane) return;
    for (const OptionRow& row : kOptionRows) {
        // The two lists with long entries ("Alarm with 3 minutes", "Dynamic Password Mode") are wider.
        const bool isWide = row.listId == kIdCombUnlockMode || row.listId == kIdCombAlertMode;
        const int listX = isWide ? 180 : 230;
        const int listWidth = isWide ? 160 : 110;
        AddControl(pane, WC_STATICA, row.label, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, kIdLabel1 + row.labelIndex, 18,
                   row.y, listX - 18 - 2, kRowHeight);
        AddList(1, row.listId, listX, row.y, listWidth, row.entries, row.count);
    }
    AddControl(pane, WC_STATICA, "Alert text:", SS_LEFT | SS_NOPREFIX, kIdLabel2, 18, 300, 150, 16);
    // The lists an organisation's policy sets are greyed; one note says why.
    if (AnyListSetByPolicy())
        AddControl(pane, WC_STATICA, kSetByPolicyNote, SS_RIGHT | SS_NOPREFIX, kIdLblSetByPolicy, 170, 300, 170, 16);
    HWND text = AddControl(pane, WC_EDITA, "", WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                           kIdTxtAlertWord, 19, 320, 320, 60, WS_EX_CLIENTEDGE);
    if (text) SendMessageA(text, EM_SETLIMITTEXT, kAlertWordChars, 0);
}

void ConfigDialog::CreateBackgroundPane() {
    CreatePane(2, " Background Image: ");
    HWND pane = picConfig_[2];
    if (!pane) return;
    picBakImage_.Create(pane, kIdPicBakImage, 18, 30, 322, 242);
    layout_.Place(picBakImage_.Hwnd(), {18, 30, 322, 242});
    AddControl(pane, WC_BUTTONA, "Use Default", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdUseDefaultImage, 18, 285, 100,
               kButtonHeight);
    AddControl(pane, WC_BUTTONA, "Pick Image", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdPickImage, 129, 285, 100,
               kButtonHeight);
    AddList(2, kIdCombEffect, 240, 285, 100, kEffectEntries, static_cast<int>(std::size(kEffectEntries)));
    AddControl(pane, WC_BUTTONA, "Using Transparent Background", BS_AUTOCHECKBOX | WS_TABSTOP,
               kIdChkTransparentBackground, 18, 315, 320, 20);
}

void ConfigDialog::CreateAdvancedPane() {
    CreatePane(3, " Advanced: ");
    HWND pane = picConfig_[3];
    if (!pane) return;
    AddControl(pane, WC_STATICA,
               "Autolock computer at system startup in safe mode. Make sure your system is on the top security level.",
               SS_LEFT | SS_NOPREFIX, kIdLabel3 + 0, 48, 46, 262, 53);
    AddControl(pane, WC_BUTTONA, "Enable Autolock at Startup in Safe Mode", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdEnableSafeModeLock, 45, 100, 270,
               kButtonHeight);
    AddControl(pane, WC_BUTTONA, "Disable Autolock at Startup in Safe Mode", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdDisableSafeModeLock, 45, 130, 270,
               kButtonHeight);
    AddControl(pane, WC_STATICA,
               "Fix the troubles of abnormal program termination. Such as can not open Task Manager, do not display "
               "desktop and taskbar",
               SS_LEFT | SS_NOPREFIX, kIdLabel3 + 2, 46, 176, 274, 48);
    AddControl(pane, WC_BUTTONA, "Fix Troubles of Abnormal Program Termination", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdFixTroubles, 45, 230, 270,
               kButtonHeight);
    AddControl(pane, WC_STATICA, "Change the sleep and display settings that you want your computer to use.",
               SS_LEFT | SS_NOPREFIX, kIdLabel3 + 1, 47, 276, 268, 48);
    AddControl(pane, WC_BUTTONA, "Power Manager", BS_PUSHBUTTON | WS_TABSTOP, kIdCmdPowerManager, 45, 330, 270,
               kButtonHeight);
    // Empty unless the last lock could not put a restriction in force.
    AddControl(pane, WC_STATICA, settings_.RestrictionFailureText().c_str(), SS_LEFT | SS_NOPREFIX,
               kIdLblPolicyFailures, 18, 356, 324, 40);
    // Empty unless Windows' own lock, the last line when this program cannot keep its lock up,
    // opens without a password. Between the frame's caption and the first text.
    AddControl(pane, WC_STATICA, WeakFallbackText(ProbeAccount()).c_str(), SS_LEFT | SS_NOPREFIX,
               kIdLblWeakFallback, 18, 14, 324, 30);
}

// The tab strip first, then the panes above it (each brought to the top so the strip never
// paints over them), then "&OK". The dialog opens on tab 0 with pane 1 in front.
void ConfigDialog::CreateControls() {
    xpTab_.Create(hwnd_, kIdTabStrip, 8, 10, 385, 445, 3);
    layout_.Place(xpTab_.Hwnd(), {8, 10, 385, 445});
    CreateResetPane();
    CreateGeneralPane();
    CreateBackgroundPane();
    CreateAdvancedPane();
    for (int i = 0; i < kConfigPaneCount; ++i) {
        if (!picConfig_[i]) continue;
        SetWindowPos(picConfig_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // The frame lies behind the pane's other controls.
        SetWindowPos(GetDlgItem(picConfig_[i], kIdFrame + i), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    AddControl(hwnd_, WC_BUTTONA, "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kIdCmdConfig, 152, 460, 100, 24);
    FitOpenListWidths();
    ShowPane(0);
}
