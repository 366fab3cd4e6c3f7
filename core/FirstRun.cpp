// The first-run rule: an account the program has never seen starts as new, whatever another
// account (the one that ran the setup) has.
#include "core/FirstRun.h"

FirstRunDecision DecideFirstRun(const FirstRunFacts& facts) {
    // "0" placed from outside asks for a fresh start from the defaults, even over a good file.
    if (facts.FirstRunValue == "0") return {.IsFirstRun = true, .DeleteFile = true};
    // Neither a file nor anything the program ever recorded: the file was never there, so
    // calling it lost or broken would be wrong. With values present a missing file is lost.
    if (!facts.FileExists && !facts.UserKeyHasValues) return {.IsFirstRun = true, .DeleteFile = false};
    return {};
}

bool MachineChoiceIsOn(const std::string& valueText) { return valueText == "1"; }
