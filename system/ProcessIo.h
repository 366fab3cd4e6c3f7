// What the programs that watch or talk to each other share: a process's image path, and the
// bounded wait for an overlapped read or write on a pipe.
#pragma once

#include <windows.h>

#include <string>

// The full path of the process's program file; "" when it cannot be read.
std::string ProcessImagePath(HANDLE process);

// Waits at most timeoutMs for an overlapped read or write that `started` (its call's result)
// began; cancels it when time is up. True with the bytes moved in `transferred` when it ended
// well.
bool FinishOverlapped(HANDLE file, OVERLAPPED& io, BOOL started, DWORD timeoutMs, DWORD& transferred);
