// Hot-key identifiers and the WM_HOTKEY decision.
#include "app/HotKeys.h"

int32_t HotKeyIdFromAtom(uint16_t atom) {
    return static_cast<int32_t>(static_cast<int16_t>(atom));
}

// Said once at start: on Windows 10 and 11 the shell keeps Win + A and Win + C for itself, and
// a key that silently does nothing is worse than one that is missing.
std::string FailedHotKeysText(const std::array<bool, 2>& failed) {
    std::string text;
    if (failed[0])
        text = std::string("Win + A is taken by another program. Lock with the tray icon, or with \"Lock Computer\" "
                           "in the Start menu (") + kLockShortcutKeyText + ").";
    if (failed[1])
        text += std::string(text.empty() ? "" : " ") +
                "Win + C is taken by another program. Configure from the tray icon's menu.";
    return text;
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
