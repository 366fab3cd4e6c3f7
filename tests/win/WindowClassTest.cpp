// The shared window class registration and the window-to-object lookup every window uses.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "system/WinHandles.h"
#include "ui/WindowClass.h"

namespace {

struct Recorder {
    std::vector<UINT> seen;   // the messages that found this object
};

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (auto* self = WindowObject<Recorder>(hwnd, msg, lp)) self->seen.push_back(msg);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

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
    WNDCLASSEXA first = RecordingClass("OrvoWindowClassTestTwice", RecordingProc);
    EXPECT_TRUE(EnsureWindowClass(first));
    EXPECT_EQ(first.cbSize, sizeof first);
    // A second window of the same kind in the same process: the class is there, which is success.
    WNDCLASSEXA second = RecordingClass("OrvoWindowClassTestTwice", RecordingProc);
    EXPECT_TRUE(EnsureWindowClass(second));

    // The system refuses a negative extra size: no class, so no window could be made from it.
    WNDCLASSEXA broken = RecordingClass("OrvoWindowClassTestRefused", RecordingProc);
    broken.cbWndExtra = -1;
    EXPECT_FALSE(EnsureWindowClass(broken));
    WNDCLASSEXA found{};
    found.cbSize = sizeof found;
    EXPECT_FALSE(GetClassInfoExA(GetModuleHandleA(nullptr), "OrvoWindowClassTestRefused", &found));
}

TEST(WindowClassTest, TheObjectIsThereFromNcCreateOnAndAWindowWithoutOneGetsNull) {
    WNDCLASSEXA wc = RecordingClass("OrvoWindowClassTestObject", RecordingProc);
    ASSERT_TRUE(EnsureWindowClass(wc));
    Recorder recorder;
    UniqueHwnd window(CreateWindowExA(0, "OrvoWindowClassTestObject", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), &recorder));
    ASSERT_TRUE(window);
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.front(), static_cast<UINT>(WM_NCCREATE));   // a window sets its hwnd_ there
    EXPECT_TRUE(Contains(recorder.seen, WM_CREATE));
    EXPECT_EQ(WindowObject<Recorder>(window.get(), WM_NULL, 0), &recorder);

    // No object: every message goes straight to the default procedure.
    UniqueHwnd bare(CreateWindowExA(0, "OrvoWindowClassTestObject", "", WS_POPUP, 0, 0, 8, 8, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(bare);
    EXPECT_EQ(WindowObject<Recorder>(bare.get(), WM_NULL, 0), nullptr);
}

}  // namespace
