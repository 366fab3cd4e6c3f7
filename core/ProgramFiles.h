// Where the lock program and its files are. Start-up reads the places once; everything after
// only looks them up.
#pragma once

#include <string>

struct ProgramFiles {
    std::string AppPath{};        // executable folder, ending in '\'
    std::string AppExeName{};     // executable name without ".exe"
    std::string ConfigFilePath{};
    std::string AlarmFilePath{};
};

// The places start-up found; empty strings before it.
const ProgramFiles& TheProgramFiles();
// Start-up's one write (a test sets its own scratch folder the same way).
void SetProgramFiles(ProgramFiles files);
