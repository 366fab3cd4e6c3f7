// The tab strip control on a window of its own: what its parent hears and when, the hover mark
// with its leave timer, and the colour it takes from its parent.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "ui/TabStrip.h"

namespace {

constexpr COLORREF kParentColor = RGB(10, 120, 30);

struct Notified {
    int16_t Index;
    int16_t DisplayedAtThatMoment;
    bool PaintedAtThatMoment;
};
std::vector<Notified> Notifications;
TabStrip* Strip = nullptr;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        const auto* n = reinterpret_cast<const TabStripNotify*>(lp);
        if (n->Header.code == kTabStripMouseDown && Strip) {
            RECT pending{};
            Notifications.push_back({n->Index, Strip->State().DisplayedTab(),
                                     !GetUpdateRect(Strip->Hwnd(), &pending, FALSE)});
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class TabStripWindow : public ::testing::Test {
protected:
    void SetUp() override {
        static UniqueHbrush parentBrush(CreateSolidBrush(kParentColor));
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = parentBrush.get();
        wc.lpszClassName = "TabStripTestParent";
        RegisterClassExA(&wc);   // fails harmlessly from the second test on
        parent_ = CreateWindowExA(WS_EX_TOPMOST, "TabStripTestParent", "TabStrip test", WS_POPUP | WS_VISIBLE, 100, 100, 420,
                                  480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        strip_ = std::make_unique<TabStrip>();
        Strip = strip_.get();
        ASSERT_TRUE(strip_->Create(parent_, 7, 8, 10, 385, 445, 3));
        UpdateWindow(parent_);
        Pump();
        Notifications.clear();
    }
    void TearDown() override {
        Strip = nullptr;
        strip_.reset();
        if (parent_) DestroyWindow(parent_);
        Pump();
    }
    void Press(int x, int y) {
        SendMessageA(strip_->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(strip_->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    HWND parent_ = nullptr;
    std::unique_ptr<TabStrip> strip_;
};

TEST_F(TabStripWindow, PressOnAnotherTabIsReportedOnceAfterItIsDrawn) {
    EXPECT_EQ(strip_->State().DisplayedTab(), 0) << "shown with TabSelect selected";
    Press(81 * 2 + 10, 10);
    ASSERT_EQ(Notifications.size(), 1u);
    EXPECT_EQ(Notifications[0].Index, 2);
    EXPECT_EQ(Notifications[0].DisplayedAtThatMoment, 2);
    EXPECT_TRUE(Notifications[0].PaintedAtThatMoment);
    EXPECT_EQ(strip_->TabSelect(), 2);
    Press(81 * 2 + 10, 10);
    EXPECT_EQ(Notifications.size(), 1u) << "the selected tab again: no event";
    Press(81 * 3 + 40, 30);   // below the captions
    EXPECT_EQ(Notifications.size(), 1u);
}

TEST_F(TabStripWindow, WritingTabSelectRaisesNoEvent) {
    strip_->SetTabSelect(0);
    strip_->SetTabSelect(3);
    EXPECT_TRUE(Notifications.empty());
    EXPECT_EQ(strip_->State().DisplayedTab(), 3);
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(strip_->Hwnd(), &pending, FALSE)) << "the new look is due to be painted";
}

TEST_F(TabStripWindow, HoverMarkLeavesWithThePointer) {
    ASSERT_TRUE(SetCursorPos(100 + 8 + 81 + 40, 100 + 10 + 12));
    SendMessageA(strip_->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(81 + 40, 12));
    ASSERT_TRUE(strip_->State().IsHoverMarkVisible());
    Pump();
    EXPECT_TRUE(strip_->State().IsHoverMarkVisible()) << "the pointer is still on the tab row";
    SetCursorPos(5, 700);
    // The 10 ms timer notices the pointer has gone; allow a slow machine plenty of time.
    const DWORD start = GetTickCount();
    while (strip_->State().IsHoverMarkVisible() && GetTickCount() - start < 5000) {
        Pump();
        Sleep(5);
    }
    EXPECT_FALSE(strip_->State().IsHoverMarkVisible());
    EXPECT_EQ(strip_->State().HoverTab(), -1);
}

TEST_F(TabStripWindow, TakesItsParentsColourAndDrawsTheOrangeMark) {
    RedrawWindow(parent_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    HDC dc = GetDC(strip_->Hwnd());
    ASSERT_NE(dc, nullptr);
    const COLORREF beside = GetPixel(dc, 360, 8);           // tab row, right of the last tab
    const COLORREF strip = GetPixel(dc, 40, 2);             // orange cap of tab 0
    const COLORREF page = GetPixel(dc, 200, 200);           // page area
    ReleaseDC(strip_->Hwnd(), dc);
    EXPECT_EQ(beside, kParentColor);
    EXPECT_GT(GetRValue(strip), 200);
    EXPECT_LT(GetBValue(strip), 110);
    EXPECT_EQ(page, RGB(255, 255, 255));
}

}  // namespace
