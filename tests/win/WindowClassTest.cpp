// The shared window class registration and the window base every window uses.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "system/WinHandles.h"
#include "ui/Window.h"

namespace {

// A window object that notes the messages that reach it and when its window is gone.
class Recorder : public Window<Recorder> {
public:
    ~Recorder() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    bool Create(const char* className) {
        WNDCLASSEXA wc{};
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        return RegisterWindowClass(wc) &&
               CreateWindowFor(0, className, "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr, wc.hInstance);
    }
    std::vector<UINT> seen;
    bool gone = false;

private:
    friend class Window<Recorder>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
        seen.push_back(msg);
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
    void OnWindowGone() { gone = true; }
};

LRESULT CALLBACK DefaultProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd, msg, wp, lp); }

WNDCLASSEXA RecordingClass(const char* name, WNDPROC proc) {
    WNDCLASSEXA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    return wc;
}

bool Contains(const std::vector<UINT>& messages, UINT msg) {
    for (UINT m : messages)
        if (m == msg) return true;
    return false;
}

TEST(WindowClassTest, RegisteringAgainSucceedsAndARefusedClassFails) {
    WNDCLASSEXA first = RecordingClass("OrvoWindowClassTestTwice", DefaultProc);
    EXPECT_TRUE(EnsureWindowClass(first));
    EXPECT_EQ(first.cbSize, sizeof first);
    // A second window of the same kind in the same process: the class is there, which is success.
    WNDCLASSEXA second = RecordingClass("OrvoWindowClassTestTwice", DefaultProc);
    EXPECT_TRUE(EnsureWindowClass(second));

    // The system refuses a negative extra size: no class, so no window could be made from it.
    WNDCLASSEXA broken = RecordingClass("OrvoWindowClassTestRefused", DefaultProc);
    broken.cbWndExtra = -1;
    EXPECT_FALSE(EnsureWindowClass(broken));
    WNDCLASSEXA found{};
    found.cbSize = sizeof found;
    EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(nullptr), "OrvoWindowClassTestRefused", &found));
}

TEST(WindowClassTest, TheObjectHasItsWindowFromNcCreateToNcDestroyAndNoLonger) {
    Recorder recorder;
    ASSERT_TRUE(recorder.Create("OrvoWindowClassTestObject"));
    const HWND window = recorder.Hwnd();
    ASSERT_TRUE(window);
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(Contains(recorder.seen, WM_CREATE));
    EXPECT_EQ(Recorder::ObjectOf(window, "OrvoWindowClassTestObject"), &recorder);
    EXPECT_EQ(Recorder::ObjectOf(window, "OrvoWindowClassTestOther"), nullptr);   // another class's name

    DestroyWindow(window);
    EXPECT_TRUE(recorder.gone);
    EXPECT_EQ(recorder.Hwnd(), nullptr);
    EXPECT_TRUE(Contains(recorder.seen, WM_NCDESTROY));
    // A window whose object has let go answers from the default procedure alone.
    recorder.seen.clear();
    UniqueHwnd bare(CreateWindowExA(0, "OrvoWindowClassTestObject", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(bare);
    SendMessageA(bare.get(), WM_NULL, 0, 0);
    EXPECT_TRUE(recorder.seen.empty());
    EXPECT_EQ(Recorder::ObjectOf(bare.get(), "OrvoWindowClassTestObject"), nullptr);
}

}  // namespace
