// The two global hot keys: how an atom becomes a hot-key identifier and which action a WM_HOTKEY
// asks for. Pure: no platform headers, unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr const char kLockHotKeyAtom[] = "NewMacroForActiveLock";        // Win + A
inline constexpr const char kConfigureHotKeyAtom[] = "NewMacroForConfigure";    // Win + C
constexpr uint32_t kHotKeyModifiers = 8;     // MOD_WIN
constexpr uint32_t kHotKeyNoRepeat = 0x4000; // MOD_NOREPEAT
// The key of the Start-menu shortcut "Lock Computer" (installer/OrvoPCLock.nsi), which Windows
// itself handles.
inline constexpr const char kLockShortcutKeyText[] = "Ctrl + Alt + Shift + F12";
constexpr uint32_t kLockHotKeyKey = 65;      // 'A'
constexpr uint32_t kConfigureHotKeyKey = 67; // 'C'

// A global atom (0xC000..0xFFFF) read as a signed 16-bit number and widened with its sign:
// 0xC000 becomes -16384.
int32_t HotKeyIdFromAtom(uint16_t atom);

enum class HotKeyAction { None, Lock, Configure };

// What a WM_HOTKEY with this wParam asks for. Hot keys are ignored while locked and while a
// lock transition runs; an identifier that is neither entry is ignored too. wParam may come
// widened to 64 bits: only its low 32 bits identify the hot key.
HotKeyAction HotKeyActionFor(uint64_t wParam, const std::array<int32_t, 2>& hotKeyIds, bool isLocked,
                             bool isLockBusy);

// The tray balloon's text for hot keys that could not be registered (entry 0: lock, 1:
// configure): which keys, and the other ways to do the same. "" when both work.
std::string FailedHotKeysText(const std::array<bool, 2>& failed);
