// The keyboard hook's whole decision, kept out of the hook so the hook can answer at once and
// the rule can be tested without installing anything.
#include "system/KeyFilter.h"

namespace {

constexpr uint32_t kVkBack = 8;
constexpr uint32_t kVkReturn = 13;
constexpr uint32_t kVkEscape = 27;
constexpr uint32_t kFirstTypable = 48;  // '0'
constexpr uint32_t kLastTypable = 90;   // 'Z'
constexpr int kDynamicPasswordMode = 2;

}  // namespace

bool KeyPassesLock(uint32_t vkCode, int currentUnlockMode) {
    // The lock window needs these three in every mode: hide, check, cancel a stroke.
    if (vkCode == kVkBack || vkCode == kVkReturn || vkCode == kVkEscape) return true;
    // Only the main keyboard's digits and letters; the keypad (96..105) would type digits the
    // letters on the points never show, so it stays blocked with everything else.
    return currentUnlockMode == kDynamicPasswordMode && vkCode >= kFirstTypable && vkCode <= kLastTypable;
}
