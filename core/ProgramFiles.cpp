// The one record of the program's places.
#include "core/ProgramFiles.h"

#include <utility>

namespace {
ProgramFiles Places;
}  // namespace

const ProgramFiles& TheProgramFiles() { return Places; }

void SetProgramFiles(ProgramFiles files) { Places = std::move(files); }
