// Process-wide values shared by every window of the lock program. One instance of each lives in
// AppState.cpp; the lock state is the lock session's (core/LockState.h), and so is the
// lock-screen model (core/LockScreenModel.h).
#pragma once

#include "core/ConfigData.h"

// The settings record; windows read it, the configuration dialog, the pattern canvas and the
// alert-mode repair write it.
extern ConfigData Config;
