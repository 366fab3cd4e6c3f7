// The about window: one at a time, its frame, the text from the program's version resource, the
// pictures and band as painted, the links' underline and hand pointer, and what a click opens.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "configui/ConfigDialog.h"
#include "ui/GdiPlusHandles.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "support/DrawTestSupport.h"
#include "system/WinHandles.h"
#include "tray/AboutWindow.h"
#include "ui/SingleWindow.h"

namespace {

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "OrvoPCLock.exe";
}

std::vector<HWND> AboutWindows() {
    std::vector<HWND> found;
    for (HWND hwnd = FindWindowExA(nullptr, nullptr, kAboutWindowClass, nullptr); hwnd;
         hwnd = FindWindowExA(nullptr, hwnd, kAboutWindowClass, nullptr))
        found.push_back(hwnd);
    return found;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The client area as AboutWindow paints it, read back as 0x00RRGGBB rows.
class Canvas {
public:
    explicit Canvas(const AboutWindow& about) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kAboutClientWidth;
        info.bmiHeader.biHeight = -kAboutClientHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        WindowDc screen(nullptr);
        dc_.reset(CreateCompatibleDC(screen.get()));
        bitmap_.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dc_ || !bitmap_ || !bits) return;
        SelectGuard select(dc_.get(), bitmap_.get());
        about.Paint(dc_.get());
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        pixels_.assign(pixels, pixels + kAboutClientWidth * kAboutClientHeight);
    }
    bool Ok() const { return !pixels_.empty(); }
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y * kAboutClientWidth + x)] & 0xFFFFFF; }
    // Pixels in the box that are clearly blue (link text).
    int BlueInk(const AboutBox& box, int firstRow, int rows) const {
        int count = 0;
        for (int y = box.Top + firstRow; y < box.Top + firstRow + rows; ++y)
            for (int x = box.Left; x < box.Left + box.Width; ++x) {
                const uint32_t p = At(x, y);
                if ((p & 0xFF) > ((p >> 16) & 0xFF) + 100) ++count;
            }
        return count;
    }
    int NonWhite(const AboutBox& box) const {
        int count = 0;
        for (int y = box.Top; y < box.Top + box.Height; ++y)
            for (int x = box.Left; x < box.Left + box.Width; ++x)
                if (At(x, y) != 0xFFFFFF) ++count;
        return count;
    }

private:
    UniqueHdc dc_;
    UniqueHbitmap bitmap_;
    std::vector<uint32_t> pixels_;
};

struct ShellCall {
    std::string verb, file, params, dir;
    int show = -1;
    int count = 0;
};
ShellCall LastShell;

HINSTANCE RecordShell(HWND, const char* verb, const char* file, const char* params, const char* dir, int show) {
    LastShell.verb = verb ? verb : "(null)";
    LastShell.file = file ? file : "(null)";
    LastShell.params = params ? params : "(null)";
    LastShell.dir = dir ? dir : "(null)";
    LastShell.show = show;
    ++LastShell.count;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

class AboutTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { session_ = new GdiPlusSession; }
    static void TearDownTestSuite() {
        delete session_;
        session_ = nullptr;
    }
    void SetUp() override {
        resources_ = drawtest::ProgramResources();
        if (!resources_) GTEST_SKIP() << "OrvoPCLock.exe with its artwork is not beside the test program";
        ASSERT_TRUE(session_->IsStarted());
        LastShell = ShellCall{};
        SetShellExecuteFn(RecordShell);
        ShowAbout(ProgramPath());
        Pump();
        about_ = aboutWindow_.Get();
        ASSERT_NE(about_, nullptr);
        hwnd_ = about_->Hwnd();
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override {
        aboutWindow_.Close();
        SetShellExecuteFn(nullptr);
        Pump();
    }
    void ShowAbout(const std::string& versionFile) {
        aboutWindow_.Show(GetModuleHandleA(nullptr), resources_, versionFile);
    }
    static POINT Centre(const AboutBox& box) { return POINT{box.Left + box.Width / 2, box.Top + box.Height / 2}; }
    void MoveTo(POINT at) { SendMessageA(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y)); }
    void ClickAt(POINT down, POINT up) {
        SendMessageA(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
        SendMessageA(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    }

    static GdiPlusSession* session_;
    HMODULE resources_ = nullptr;
    SingleWindow<AboutWindow> aboutWindow_;
    AboutWindow* about_ = nullptr;
    HWND hwnd_ = nullptr;
};
GdiPlusSession* AboutTest::session_ = nullptr;

TEST_F(AboutTest, OneFixedCentredWindowOfTheGivenSize) {
    ShowAbout(ProgramPath());
    EXPECT_EQ(AboutWindows().size(), 1u) << "a second request brings the same window forward";
    EXPECT_EQ(aboutWindow_.Get()->Hwnd(), hwnd_);
    EXPECT_TRUE(IsWindowVisible(hwnd_));

    char title[64] = {};
    GetWindowTextA(hwnd_, title, sizeof title);
    EXPECT_STREQ(title, "About Orvo PC Lock");
    RECT client{};
    ASSERT_TRUE(GetClientRect(hwnd_, &client));
    EXPECT_EQ(client.right, 443);
    EXPECT_EQ(client.bottom, 267);
    const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    RECT frame{};
    ASSERT_TRUE(GetWindowRect(hwnd_, &frame));
    EXPECT_NEAR(frame.left + frame.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(frame.top + frame.bottom, GetSystemMetrics(SM_CYSCREEN), 1);

    HWND ok = about_->OkButton();
    ASSERT_NE(ok, nullptr);
    char caption[16] = {};
    GetWindowTextA(ok, caption, sizeof caption);
    EXPECT_STREQ(caption, "&OK");
    RECT button{};
    GetWindowRect(ok, &button);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, 328);
    EXPECT_EQ(button.top, 236);
    EXPECT_EQ(button.right - button.left, 107);
    EXPECT_EQ(button.bottom - button.top, 25);
}

TEST_F(AboutTest, TextComesFromTheProgramsVersionResource) {
    EXPECT_EQ(about_->AboutCaption(), "Orvo PC Lock " ORVO_VERSION_STRING "\r\n\r\nA Powerful Lock Computer Application"
                                      "\r\n\r\n" ORVO_LEGAL_COPYRIGHT);
    // The labels took the size of their texts: five lines, one line each for the links.
    const AboutLayout& layout = about_->Layout();
    EXPECT_GT(layout.LabAbout.Width, 200);
    EXPECT_GT(layout.LabAbout.Height, 4 * layout.LabHome[0].Height);
    EXPECT_GT(layout.LabHome[0].Width, layout.LabHome[1].Width);
    EXPECT_GT(layout.LabHome[1].Height, 8);
    EXPECT_LE(layout.LabHome[0].Left + layout.LabHome[0].Width, kAboutClientWidth);

    // A file without version information still gives the fixed lines.
    aboutWindow_.Close();
    ShowAbout("C:\\no\\such\\file.exe");
    ASSERT_NE(aboutWindow_.Get(), nullptr);
    EXPECT_EQ(aboutWindow_.Get()->AboutCaption(),
              "Orvo PC Lock 0.0.0\r\n\r\nA Powerful Lock Computer Application\r\n\r\n");
}

TEST_F(AboutTest, PicturesBandAndLinksArePainted) {
    Canvas canvas(*about_);
    ASSERT_TRUE(canvas.Ok());
    const AboutLayout& layout = about_->Layout();
    EXPECT_EQ(canvas.At(300, 250), 0xE0E0E0u) << "the grey band";
    EXPECT_EQ(canvas.At(300, 100), 0xFFFFFFu) << "the white surface";
    EXPECT_NE(canvas.At(200, 228), canvas.At(200, 250)) << "the separator over the band";
    EXPECT_GT(canvas.NonWhite(layout.Image1), 128 * 128 / 4);
    EXPECT_GT(canvas.NonWhite(layout.Image3), 200);
    EXPECT_GT(canvas.NonWhite(layout.LabAbout), 300);
    for (int i = 0; i < kAboutLinkCount; ++i) EXPECT_GT(canvas.BlueInk(layout.LabHome[i], 0, layout.LabHome[i].Height), 50);
}

TEST_F(AboutTest, UnderlineFollowsThePointer) {
    const AboutLayout& layout = about_->Layout();
    const AboutBox& link0 = layout.LabHome[0];
    const AboutBox& link1 = layout.LabHome[1];
    // Blue ink in the last two rows of a link: its underline (the letters stop above it).
    const auto underlined = [&](const AboutBox& box) {
        Canvas canvas(*about_);
        return canvas.BlueInk(box, box.Height - 3, 3) > box.Width / 2;
    };
    EXPECT_FALSE(underlined(link0));

    MoveTo(Centre(link0));
    EXPECT_TRUE(about_->Links().Underlined[0]);
    EXPECT_FALSE(about_->Links().Underlined[1]);
    EXPECT_TRUE(underlined(link0));
    EXPECT_FALSE(underlined(link1));

    // Over a picture and over the about text the underline stays.
    MoveTo(Centre(layout.Image3));
    MoveTo(Centre(layout.LabAbout));
    EXPECT_TRUE(about_->Links().Underlined[0]);

    MoveTo(Centre(link1));
    EXPECT_TRUE(about_->Links().Underlined[1]);
    // The bare surface, and the grey band, take it off both.
    MoveTo(POINT{300, 250});
    EXPECT_FALSE(about_->Links().Underlined[0] || about_->Links().Underlined[1]);
    EXPECT_FALSE(underlined(link0));
    EXPECT_FALSE(underlined(link1));
}

TEST_F(AboutTest, HandPointerOnlyOverTheLinks) {
    // The program's own hand, not the system's stand-in for a missing one.
    ASSERT_NE(FindResourceA(resources_, MAKEINTRESOURCEA(IDC_HANDCURSOR), RT_GROUP_CURSOR), nullptr);
    HCURSOR hand = about_->HandCursor();
    ASSERT_NE(hand, nullptr);
    EXPECT_NE(hand, LoadCursorA(nullptr, IDC_HAND));
    EXPECT_NE(hand, LoadCursorA(nullptr, IDC_ARROW));
    const auto cursorAt = [&](POINT client) {
        POINT screen = client;
        ClientToScreen(hwnd_, &screen);
        SetCursorPos(screen.x, screen.y);
        SetCursor(nullptr);
        SendMessageA(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    POINT pointer{};
    if (!GetCursorPos(&pointer)) GTEST_SKIP() << "no pointer in this session";
    EXPECT_EQ(cursorAt(Centre(about_->Layout().LabHome[1])), hand);
    EXPECT_EQ(cursorAt(Centre(about_->Layout().LabHome[0])), hand);
    EXPECT_NE(cursorAt(POINT{300, 100}), hand);
    SetCursorPos(pointer.x, pointer.y);
}

TEST_F(AboutTest, LinkClicksOpenHomePageAndMailAndKeepTheWindow) {
    const AboutLayout& layout = about_->Layout();
    ClickAt(Centre(layout.LabHome[0]), Centre(layout.LabHome[0]));
    EXPECT_EQ(LastShell.count, 1);
    EXPECT_EQ(LastShell.verb, "open");
    EXPECT_EQ(LastShell.file, ORVO_HOME_URL);
    EXPECT_EQ(LastShell.params, "");
    EXPECT_EQ(LastShell.dir, "");
    EXPECT_EQ(LastShell.show, SW_SHOWNORMAL);

    ClickAt(Centre(layout.LabHome[1]), Centre(layout.LabHome[1]));
    EXPECT_EQ(LastShell.count, 2);
    EXPECT_EQ(LastShell.file, "mailto:" ORVO_SUPPORT_EMAIL "?subject=Help");
    EXPECT_TRUE(IsWindow(hwnd_));

    // Pressed on one link and released on the other, or on the pictures: no click.
    ClickAt(Centre(layout.LabHome[0]), Centre(layout.LabHome[1]));
    ClickAt(Centre(layout.Image1), Centre(layout.Image1));
    EXPECT_EQ(LastShell.count, 2);
}

TEST_F(AboutTest, OkClosesAndTheNextRequestMakesAFreshWindow) {
    SendMessageA(about_->OkButton(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_TRUE(AboutWindows().empty());
    ShowAbout(ProgramPath());
    ASSERT_NE(aboutWindow_.Get(), nullptr);
    EXPECT_NE(aboutWindow_.Get()->Hwnd(), nullptr);
    EXPECT_EQ(AboutWindows().size(), 1u);
}

}  // namespace
