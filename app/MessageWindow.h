// The program's message window: the background cover's window, subclassed at creation so it
// receives the two global hot keys and the tray-rebuild message, and refuses to be closed,
// moved, activated or renamed.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

extern HWND MessageWindow;
extern WNDPROC PrevWindowProc;
extern std::array<int32_t, 2> HotKeyIds;   // entry 0: Win + A (lock), entry 1: Win + C (configure)

// Registers Win + A and Win + C to the window and puts MessageWindowProc in front of its
// window procedure.
void HookWindow(HWND hwnd);
// Unregisters the hot keys, deletes their atoms and gives the window its procedure back. Must
// run before the window is destroyed: the subclass swallows WM_CLOSE and WM_DESTROY.
void UnhookWindow();
// A tray balloon naming the hot keys that could not be registered; nothing when all work.
void ReportFailedHotKeys();
LRESULT CALLBACK MessageWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
