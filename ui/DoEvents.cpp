// DoEvents: one pass over the thread's message queue.
#include "ui/DoEvents.h"

#include <windows.h>

void DoEvents() {
    // Bounded, so a window that keeps posting to itself cannot hold the caller here for ever.
    constexpr int kMaxMessages = 1000;
    MSG msg;
    for (int i = 0; i < kMaxMessages && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        // A WM_QUIT taken here would be lost to the main loop; put it back and stop.
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
