// The shell call that starts the maintenance tool, the power options and the about window's
// links; the tests can replace it.
#include "ui/ShellRun.h"

#include <shellapi.h>

namespace {
ShellExecuteFn CurrentShellExecute = nullptr;
}

ShellExecuteFn SetShellExecuteFn(ShellExecuteFn fn) {
    const ShellExecuteFn previous = CurrentShellExecute;
    CurrentShellExecute = fn;
    return previous;
}

HINSTANCE RunShellExecute(HWND owner, const char* verb, const char* file, const char* params, const char* dir, int show) {
    if (CurrentShellExecute) return CurrentShellExecute(owner, verb, file, params, dir, show);
    return ShellExecuteA(owner, verb, file, params, dir, show);
}
