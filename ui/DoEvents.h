// Lets the window messages that are already waiting run once, in the middle of a long step on
// the user-interface thread.
#pragma once

void DoEvents();
