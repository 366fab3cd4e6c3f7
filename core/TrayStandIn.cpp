// The stand-in for the tray owner window: hidden, titled differently from the real one (so the
// single-instance test does not depend on it), and closing it exits the program.
#include "core/TrayStandIn.h"

#include <windows.h>

#include "core/Startup.h"
#include "system/WinHandles.h"

namespace {

UniqueHwnd StandIn;

LRESULT CALLBACK TrayStandInProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CLOSE: ExitApplication(); return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

void CreateTrayStandIn() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TrayStandInProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kTrayStandInClass;
    // Registering twice fails harmlessly; the class from the first time is used.
    RegisterClassA(&windowClass);
    StandIn.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kTrayStandInClass, "Orvo PC Lock Stand-in", WS_POPUP,
                                  0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
}

void DestroyTrayStandIn() { StandIn.reset(); }
