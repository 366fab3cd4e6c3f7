// Defaults of the calls in core/Seams.h for parts that are not built yet: each does nothing.
// Remove a default (with its comment) when the real function is added in its own file.
#include "core/Seams.h"

// -- tray/FrmTray.cpp
void RebuildTrayIcon() {}
