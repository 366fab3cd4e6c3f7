// Display scaling. This program's Wine prefix reports 144 DPI (150 %), so every window of ours
// opens scaled: each shows all of its text, and a change of DPI lays a window out again.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/AppState.h"
#include "lockscreen/FrmVerify.h"
#include "support/ConfigTestSupport.h"
#include "support/DrawTestSupport.h"
#include "system/WinHandles.h"
#include "tool/FrmMain.h"
#include "tray/FrmAbout.h"

using namespace configtest;

namespace {

// The programs' manifests ask for per-monitor awareness; this program has no manifest, so it
// asks at run time, before its first window.
void BecomePerMonitorAware() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC proc = user32 ? GetProcAddress(user32, "SetProcessDpiAwarenessContext") : nullptr;
    if (auto set = reinterpret_cast<BOOL(WINAPI*)(HANDLE)>(reinterpret_cast<void (*)()>(proc))) {
        set(reinterpret_cast<HANDLE>(-4));   // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    }
}

// A text a control shows and the width it gives it.
struct Shown {
    std::string Text;
    int Room = 0;
    UINT Format = DT_SINGLELINE;
};

// A list's entries, a check box's text beside the box, a button's and a static's inside their edges.
std::vector<Shown> TextsOf(HWND control) {
    char name[32] = "";
    GetClassNameA(control, name, sizeof name);
    const std::string kind = name;
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    std::vector<Shown> shown;
    if (kind == "ComboBox") {
        // Every entry as the open list shows it.
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (!GetComboBoxInfo(control, &info)) return {};
        SendMessageA(control, CB_SHOWDROPDOWN, TRUE, 0);
        RECT open{};
        GetClientRect(info.hwndList, &open);
        SendMessageA(control, CB_SHOWDROPDOWN, FALSE, 0);
        char entry[256];
        for (LRESULT i = 0, n = SendMessageA(control, CB_GETCOUNT, 0, 0); i < n; ++i) {
            if (SendMessageA(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry)) <= 0) continue;
            shown.push_back({entry, open.right, DT_SINGLELINE | DT_NOPREFIX});
        }
        return shown;
    }
    char text[512] = "";
    GetWindowTextA(control, text, sizeof text);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    if (!text[0]) return {};
    if (kind == "Static") return {{text, client.right, DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0u)}};
    if (kind != "Button") return {};   // edit boxes, pictures, panes: no fixed text of their own
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
        return {{text, client.right - GetSystemMetrics(SM_CXMENUCHECK) - edge}};
    default: return {{text, client.right - 4 * edge}};   // a push button's or a frame's edges
    }
}

// One pass over every child at any depth, hidden panes included: each text measured in its
// control's own font. Returns "text: needs W x H, has W x H" for every text that does not fit.
std::vector<std::string> TextsThatDoNotFit(HWND window) {
    std::vector<std::string> misfits;
    EnumChildWindows(window, [](HWND control, LPARAM out) -> BOOL {
        const std::vector<Shown> shown = TextsOf(control);
        RECT client{};
        GetClientRect(control, &client);
        WindowDc dc(control);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
        SelectGuard select(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
        for (const Shown& text : shown) {
            RECT need{0, 0, text.Room, 0};
            DrawTextA(dc.get(), text.Text.c_str(), -1, &need, text.Format | DT_CALCRECT);
            if (need.right > text.Room || need.bottom > client.bottom) {
                reinterpret_cast<std::vector<std::string>*>(out)->push_back(
                    text.Text + ": needs " + std::to_string(need.right) + " x " + std::to_string(need.bottom) +
                    ", has " + std::to_string(text.Room) + " x " + std::to_string(client.bottom));
            }
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&misfits));
    return misfits;
}

class DisplayScaling : public ConfigDialogFixture {
protected:
    static void SetUpTestSuite() { BecomePerMonitorAware(); }
    void TearDown() override {
        CloseVerifyDialog();
        CloseAboutWindow();
        ConfigDialogFixture::TearDown();
    }
    // The window is at the prefix's DPI and none of its texts is cut.
    static void ExpectScaledWithAllText(HWND window) {
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WindowDpi(window), 144) << "the prefix was meant to report 144 DPI";
        EXPECT_EQ(TextsThatDoNotFit(window), std::vector<std::string>{});
    }
};

TEST_F(DisplayScaling, EveryTabOfTheConfigurationDialogShowsAllItsText) {
    ExpectScaledWithAllText(Open());
}

TEST_F(DisplayScaling, VerifyDialogShowsAllItsTextAndHitsThePointDrawnUnderThePointer) {
    ShowVerifyDialog();
    Pump();
    ExpectScaledWithAllText(VerifyDialogHwnd());
    // The box shows its 320-pixel picture half as large again: the pointer over where point 1
    // is drawn enters point 1.
    const LayoutEntry& first = Layout.SmallPoint(1);
    PostMessageA(FindControl(VerifyDialogHwnd(), kIdPicVerify), WM_LBUTTONDOWN, MK_LBUTTON,
                 MAKELPARAM(first.Centre.X * 3 / 2, first.Centre.Y * 3 / 2));
    Pump();
    ASSERT_NE(VerifyDialogInstance(), nullptr);
    EXPECT_TRUE(VerifyDialogInstance()->Entered().Contains(1));
}

TEST_F(DisplayScaling, AboutWindowShowsAllItsText) {
    HMODULE resources = drawtest::ProgramResources();
    if (!resources) GTEST_SKIP() << "OrvoPCLock.exe with its artwork is not beside the test program";
    ShowAboutWindow(resources, "C:\\no\\such\\file.exe");
    Pump();
    ASSERT_NE(AboutWindowInstance(), nullptr);
    HWND about = AboutWindowInstance()->Hwnd();
    ExpectScaledWithAllText(about);
    RECT client{};
    GetClientRect(about, &client);
    const AboutLayout& layout = AboutWindowInstance()->Layout();
    for (const AboutBox& label : {layout.LabAbout, layout.LabHome[0], layout.LabHome[1]}) {
        EXPECT_LE(label.Left + label.Width, client.right);
    }
}

TEST_F(DisplayScaling, ToolWindowShowsAllItsText) {
    FrmMain tool;
    ASSERT_TRUE(tool.Create(GetModuleHandleA(nullptr), SW_SHOWNOACTIVATE));
    ExpectScaledWithAllText(tool.Hwnd());
    DestroyWindow(tool.Hwnd());
    MSG quit;
    PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);   // closing the tool's window ends its loop
}

// Windows sends WM_DPICHANGED when the dialog moves to a monitor of another DPI; Wine never
// does, so the test sends it: back at 96 DPI every control is where it is at 96 DPI.
TEST_F(DisplayScaling, ChangeOfDpiLaysTheDialogOutAgain) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    RECT frame{0, 0, kConfigClientWidth, kConfigClientHeight};
    AdjustWindowRectEx(&frame, GetWindowLongA(dialog, GWL_STYLE), FALSE, GetWindowLongA(dialog, GWL_EXSTYLE));
    SendMessageA(dialog, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&frame));
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, kConfigClientWidth);
    const RECT ok = ControlRect(FindControl(dialog, kIdCmdConfig));
    EXPECT_EQ(ok.left, 152);
    EXPECT_EQ(ok.top, 460);
    EXPECT_EQ(ok.right - ok.left, 100);
    const RECT grid = ControlRect(FindControl(dialog, kIdCombGrid));
    EXPECT_EQ(grid.left, 240);
    EXPECT_EQ(grid.right - grid.left, 100);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(FindControl(dialog, kIdCmdConfig), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -12);   // 9 pt at 96 DPI
}

}  // namespace
