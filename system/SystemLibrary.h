// Libraries only from the system folder: the first call of every program, and the loader for
// the libraries a program looks up at run time. A program folder a user can write must not be
// able to put a library of the same name in their way.
#pragma once

#include <windows.h>

// Limits the search of every later library load of the process to System32. The first call of
// every program's entry point, before anything loads a library.
void LoadLibrariesFromSystem32Only();

// The library of that file name from System32, by its full path; null when it is not there.
HMODULE LoadSystemLibrary(const char* fileName);

// A function of a System32 library that is not one of the system's known libraries (those the
// loader always takes from System32): imported, such a library would be looked for beside the
// program first, before any code of ours runs. Null when it cannot be had; callers keep the
// result in a static, as the library stays loaded.
template <class Function>
Function SystemFunction(const char* fileName, const char* name) {
    const HMODULE library = LoadSystemLibrary(fileName);
    return library ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)))
                   : nullptr;
}
