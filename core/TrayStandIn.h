// A hidden top-level window that keeps the lock program running until the tray owner window
// exists. Temporary: the tray module replaces it.
#pragma once

inline constexpr const char kTrayStandInClass[] = "OrvoPCLockTrayStandIn";

void CreateTrayStandIn();
void DestroyTrayStandIn();
