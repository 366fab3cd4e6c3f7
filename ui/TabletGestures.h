// The reply every full-screen window of the lock gives to WM_TABLET_QUERYSYSTEMGESTURESTATUS:
// press and hold (a right click from a held finger or pen), flicks and their fallback keys, the
// pen's tap and barrel feedback, and touch-switching all off, so a finger or a pen draws the
// pattern as the mouse does. Pure: the numbers of the platform's tpcshrd.h.
#pragma once

#include <cstdint>

inline constexpr unsigned kTabletQuerySystemGestureStatus = 0x02CC;

inline constexpr uint32_t kTabletGesturesOff = 0x00000001     // TABLET_DISABLE_PRESSANDHOLD
                                               | 0x00000008   // TABLET_DISABLE_PENTAPFEEDBACK
                                               | 0x00000010   // TABLET_DISABLE_PENBARRELFEEDBACK
                                               | 0x00008000   // TABLET_DISABLE_TOUCHSWITCH
                                               | 0x00010000   // TABLET_DISABLE_FLICKS
                                               | 0x00080000   // TABLET_DISABLE_SMOOTHSCROLLING
                                               | 0x00100000;  // TABLET_DISABLE_FLICKFALLBACKKEYS
