// Display scaling. This program's Wine prefix reports 144 DPI (150 %), so every window of ours
// opens scaled: each shows all of its text, and a change of DPI lays a window out again.
#include <gtest/gtest.h>

#include <windows.h>

#include "lockscreen/VerifyDialog.h"
#include "support/ConfigTestSupport.h"
#include "support/DrawTestSupport.h"
#include "support/SessionSupport.h"
#include "system/WinHandles.h"
#include "tool/ToolWindow.h"
#include "tray/AboutWindow.h"

using namespace configtest;

namespace {

// A text a control shows, and the width and line format it gives it.
struct Shown { std::string Text; int Room = 0; UINT Format = DT_SINGLELINE; };

// A list's entries as its open list and its closed box show them, a check box's text beside the box, a button's
// and a frame's inside their edges, a static's wrapped in its width.
std::vector<Shown> TextsOf(HWND control, int width) {
    char kind[32] = "", text[512] = "";
    GetClassNameA(control, kind, sizeof kind);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpA(kind, "ComboBox") == 0) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        RECT open{};
        SendMessageA(control, CB_SHOWDROPDOWN, TRUE, 0);
        if (GetComboBoxInfo(control, &info)) GetClientRect(info.hwndList, &open);
        SendMessageA(control, CB_SHOWDROPDOWN, FALSE, 0);
        std::vector<Shown> entries;
        for (LRESULT i = 0, n = SendMessageA(control, CB_GETCOUNT, 0, 0); i < n; ++i) {
            if (SendMessageA(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text)) > 0)
                entries.push_back({text, std::min<int>(open.right, info.rcItem.right - info.rcItem.left),
                                   DT_SINGLELINE | DT_NOPREFIX});
        }
        return entries;
    }
    if (!GetWindowTextA(control, text, sizeof text)) return {};
    if (lstrcmpA(kind, "Static") == 0) return {{text, width, DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0u)}};
    if (lstrcmpA(kind, "Button") != 0) return {};   // edit boxes, pictures, panes: no text of their own
    const int edge = GetSystemMetrics(SM_CXEDGE);
    const LONG type = style & BS_TYPEMASK;
    const bool hasBox = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                        type == BS_AUTORADIOBUTTON;
    return {{text, hasBox ? width - GetSystemMetrics(SM_CXMENUCHECK) - edge : width - 4 * edge}};
}

// One pass over every child at any depth, hidden panes included, each text measured in its
// control's own font: "text: needs W x H, has W x H" for every text that does not fit.
std::vector<std::string> TextsThatDoNotFit(HWND window) {
    std::vector<std::string> misfits;
    EnumChildWindows(window, [](HWND control, LPARAM out) -> BOOL {
        RECT client{};
        GetClientRect(control, &client);
        WindowDc dc(control);
        const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0));
        SelectGuard select(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
        for (const Shown& text : TextsOf(control, client.right)) {
            RECT need{0, 0, text.Room, 0};
            DrawTextA(dc.get(), text.Text.c_str(), -1, &need, text.Format | DT_CALCRECT);
            if (need.right > text.Room || need.bottom > client.bottom)
                reinterpret_cast<std::vector<std::string>*>(out)->push_back(
                    text.Text + ": needs " + std::to_string(need.right) + " x " + std::to_string(need.bottom) +
                    ", has " + std::to_string(text.Room) + " x " + std::to_string(client.bottom));
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&misfits));
    return misfits;
}

class DisplayScaling : public ConfigDialogFixture {
protected:
    // The programs' manifests ask for per-monitor awareness; this program asks before its first window.
    static void SetUpTestSuite() {
        FARPROC set = GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext");
        if (set) reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(reinterpret_cast<void (*)()>(set))(reinterpret_cast<HANDLE>(-4));
    }
    void TearDown() override {
        TestSession().CloseVerifyDialog();
        aboutWindow_.Close();
        ConfigDialogFixture::TearDown();
    }
    SingleWindow<AboutWindow> aboutWindow_;
    static void ExpectScaledWithAllText(HWND window) {
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WindowDpi(window), 144) << "the prefix was meant to report 144 DPI";
        EXPECT_EQ(TextsThatDoNotFit(window), std::vector<std::string>{});
    }
};

TEST_F(DisplayScaling, EveryTabOfTheConfigurationDialogShowsAllItsText) { ExpectScaledWithAllText(Open()); }

// The box shows its picture half as large again: the pointer over point 1 as drawn enters it.
TEST_F(DisplayScaling, VerifyDialogShowsAllItsTextAndHitsThePointDrawnUnderThePointer) {
    TestSession().ShowVerifyDialog();
    Pump();
    ExpectScaledWithAllText(TestSession().VerifyDialogHwnd());
    const LayoutEntry& first = Layout.SmallPoint(1);
    PostMessageA(FindControl(TestSession().VerifyDialogHwnd(), kIdPicVerify), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(first.Centre.X * 3 / 2, first.Centre.Y * 3 / 2));
    Pump();
    ASSERT_NE(TestSession().VerifyDialogObject(), nullptr);
    EXPECT_TRUE(TestSession().VerifyDialogObject()->Entered().Contains(1));
}

TEST_F(DisplayScaling, AboutWindowShowsAllItsText) {
    HMODULE resources = drawtest::ProgramResources();
    if (!resources) GTEST_SKIP() << "OrvoPCLock.exe with its artwork is not beside the test program";
    aboutWindow_.Show(GetModuleHandleA(nullptr), resources, "C:\\no\\such\\file.exe");
    Pump();
    ASSERT_NE(aboutWindow_.Get(), nullptr);
    ExpectScaledWithAllText(aboutWindow_.Get()->Hwnd());
    RECT client{};   // the labels are drawn, each as wide as its text
    GetClientRect(aboutWindow_.Get()->Hwnd(), &client);
    for (const AboutBox& label : {aboutWindow_.Get()->Layout().LabAbout, aboutWindow_.Get()->Layout().LabHome[0]})
        EXPECT_LE(label.Left + label.Width, client.right);
}

TEST_F(DisplayScaling, ToolWindowShowsAllItsText) {
    ToolWindow tool;
    ASSERT_TRUE(tool.Create(GetModuleHandleA(nullptr), SW_SHOWNOACTIVATE));
    ExpectScaledWithAllText(tool.Hwnd());   // the window goes with the object; its WM_QUIT with the next Pump
}

// Windows sends WM_DPICHANGED when the dialog moves to a monitor of another DPI; Wine never
// does, so the test sends it: at 96 DPI the controls, a pane's too, are back at their 96-DPI places.
TEST_F(DisplayScaling, ChangeOfDpiLaysTheDialogOutAgain) {
    HWND dialog = Open();
    RECT frame{0, 0, kConfigClientWidth, kConfigClientHeight};
    AdjustWindowRectEx(&frame, GetWindowLongA(dialog, GWL_STYLE), FALSE, GetWindowLongA(dialog, GWL_EXSTYLE));
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&frame));
    HWND ok = FindControl(dialog, kIdCmdConfig);
    const RECT okAt = ControlRect(ok), gridAt = ControlRect(FindControl(dialog, kIdCombGrid));
    EXPECT_EQ(std::vector<LONG>({okAt.left, okAt.top, okAt.right, gridAt.left, gridAt.right}),
              std::vector<LONG>({152, 460, 252, 228, 340}));
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(ok, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -12);   // 9 pt at 96 DPI
}

}  // namespace
