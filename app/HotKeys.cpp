// Hot-key identifiers and the WM_HOTKEY decision.
#include "app/HotKeys.h"

int32_t HotKeyIdFromAtom(uint16_t atom) {
    return static_cast<int32_t>(static_cast<int16_t>(atom));
}

HotKeyAction HotKeyActionFor(uint64_t wParam, const std::array<int32_t, 2>& hotKeyIds, bool isLocked,
                             bool isLockBusy) {
    if (isLocked || isLockBusy) return HotKeyAction::None;
    const int32_t id = static_cast<int32_t>(static_cast<uint32_t>(wParam & 0xFFFFFFFFu));
    // An id of 0 means the atom could not be added; such an entry never matches.
    if (id != 0 && id == hotKeyIds[0]) return HotKeyAction::Lock;
    if (id != 0 && id == hotKeyIds[1]) return HotKeyAction::Configure;
    return HotKeyAction::None;
}
