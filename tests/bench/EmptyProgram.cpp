// orvo_empty_program: the smallest Win32 program with a window, built and linked as the lock
// program is. The bench starts it the way it starts the lock program, so the difference of the
// two start-up times is what the lock program itself adds.
#include <windows.h>

namespace {
constexpr char kClassName[] = "OrvoEmptyProgram";
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return 1;
    if (!CreateWindowExA(0, kClassName, "Empty Program", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr, instance,
                         nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
