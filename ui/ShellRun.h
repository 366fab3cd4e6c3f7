// ShellExecuteA behind a seam for the Windows tests.
#pragma once

#include <windows.h>

// A replacement for ShellExecuteA; nullptr restores the real call. Returns the previous one.
using ShellExecuteFn = HINSTANCE (*)(HWND owner, const char* verb, const char* file, const char* params,
                                     const char* dir, int show);
ShellExecuteFn SetShellExecuteFn(ShellExecuteFn fn);
HINSTANCE RunShellExecute(HWND owner, const char* verb, const char* file, const char* params, const char* dir,
                          int show);
