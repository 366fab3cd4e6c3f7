// The keyboard hook's whole decision, kept out of the hook so the hook can answer at once and
// the rule can be tested without installing anything.
#include "system/KeyFilter.h"

namespace {

constexpr uint32_t kVkBack = 8;
constexpr uint32_t kVkTab = 9;
constexpr uint32_t kVkReturn = 13;
constexpr uint32_t kVkControl = 17;
constexpr uint32_t kVkMenu = 18;
constexpr uint32_t kVkEscape = 27;
constexpr uint32_t kVkSpace = 32;
constexpr uint32_t kFirstTypable = 48;  // '0'
constexpr uint32_t kLastTypable = 90;   // 'Z'
constexpr uint32_t kVkLeftWin = 91;
constexpr uint32_t kVkRightWin = 92;
constexpr uint32_t kVkApps = 93;
constexpr uint32_t kVkF4 = 115;
constexpr uint32_t kVkBrowserBack = 166;
constexpr uint32_t kVkLaunchApp2 = 183;
constexpr uint32_t kVkLeftControl = 162;  // the right one follows
constexpr uint32_t kVkLeftMenu = 164;     // the right one (AltGr) follows
constexpr int kDynamicPasswordMode = 2;

}  // namespace

bool KeyPassesLock(uint32_t vkCode, int currentUnlockMode) {
    // The lock window needs these three in every mode: hide, check, cancel a stroke.
    if (vkCode == kVkBack || vkCode == kVkReturn || vkCode == kVkEscape) return true;
    // Only the main keyboard's digits and letters; the keypad (96..105) would type digits the
    // letters on the points never show, so it stays blocked with everything else.
    return currentUnlockMode == kDynamicPasswordMode && vkCode >= kFirstTypable && vkCode <= kLastTypable;
}

bool IsSystemShortcut(uint32_t vkCode, bool altHeld, bool ctrlHeld) {
    // The Windows keys open Start on their release and are half of every Win + key; the Apps
    // key opens a menu of whatever window is below.
    if (vkCode == kVkLeftWin || vkCode == kVkRightWin || vkCode == kVkApps) return true;
    // Browser, volume, media and launch keys: a muted alarm, a started program.
    if (vkCode >= kVkBrowserBack && vkCode <= kVkLaunchApp2) return true;
    // Task switcher, window cycling, close, window menu.
    if (altHeld && (vkCode == kVkTab || vkCode == kVkEscape || vkCode == kVkF4 || vkCode == kVkSpace))
        return true;
    // Start menu; with Shift as well, the task manager.
    return ctrlHeld && vkCode == kVkEscape;
}

// Held as far as the rest of the system knows: its press was let through and its release has
// not come yet. A press that was swallowed never reached the system, so it combines with
// nothing there.
bool LockKeyFilter::SystemHolds(uint32_t vkCode) const {
    return vkCode < presses_.size() && presses_[vkCode] == Press::Passed;
}

KeyRoute LockKeyFilter::Route(uint32_t vkCode, bool isUp, bool altFlag, bool lockAllKeys,
                              int currentUnlockMode, bool foregroundOurs) {
    // Windows reports the left and right codes; keys injected with the generic code keep it.
    auto held = [this](uint32_t generic, uint32_t left) {
        return SystemHolds(generic) || SystemHolds(left) || SystemHolds(left + 1);
    };
    // Shift needs no tracking: Ctrl + Shift + Esc is a Ctrl + Esc.
    const bool alt = altFlag || held(kVkMenu, kVkLeftMenu);
    const bool ctrl = held(kVkControl, kVkLeftControl);
    // Windows gives the foreground only to a program that had the last input (not to an idle
    // lock): whatever has it meanwhile, a chat or a console, must not get the keys meant for
    // the lock. The lock window still gets its own, posted, so it works without the foreground.
    const bool ruled = foregroundOurs && !IsSystemShortcut(vkCode, alt, ctrl) &&
                       (!lockAllKeys || KeyPassesLock(vkCode, currentUnlockMode));
    const KeyRoute refused = !isUp && !foregroundOurs && KeyPassesLock(vkCode, currentUnlockMode)
                              ? KeyRoute::HandToLock
                              : KeyRoute::Swallow;
    if (vkCode >= presses_.size()) return ruled ? KeyRoute::Pass : refused;
    Press& press = presses_[vkCode];
    if (!isUp) {
        // A swallowed repeat of a key the system already holds leaves it held there: its
        // release must still pass.
        if (ruled || press != Press::Passed) press = ruled ? Press::Passed : Press::Swallowed;
        return ruled ? KeyRoute::Pass : refused;
    }
    // A release goes the way its press went, whatever the modifiers did in between. One whose
    // press came before the hook passes: the system saw that press (Win + A, released once the
    // lock shows) and would otherwise hold the key down for good. Start opens on a release of
    // the Windows key only when no other key came in between, as the A of Win + A did.
    // A lone release types nothing, so it may reach a foreground that is not ours.
    const bool passes = press != Press::Swallowed;
    press = Press::Unseen;
    return passes ? KeyRoute::Pass : KeyRoute::Swallow;
}
