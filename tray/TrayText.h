// What the tray icon and its menu say and how they answer: the menu's items in their order, the
// autolock caption, the tooltip and its fixed-size field, and the callback's decisions. Pure: no
// platform headers, unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "system/StartupText.h"

// The callback message the shell sends to the tray owner window for mouse events on the icon:
// the first of the messages private to the program (WM_APP, 0x8000, and up), which no control
// or system class sends on its own.
inline constexpr uint32_t kTrayCallbackMessage = 0x8000 + 1;

// TrayMenu's items, top to bottom (their position in the menu).
enum TrayMenuIndex : int {
    kMenuLock = 0,
    kMenuConfigure,
    kMenuAbout,
    kMenuOnlineHelp,
    kMenuSeparator1,
    kMenuTransparentBackground,
    kMenuAutoLock,
    kMenuSeparator2,
    kMenuExit,
    kTrayMenuCount,
};

inline constexpr char kMenuSeparatorCaption[] = "-";
inline constexpr char kDisableAutoLockCaption[] = "&Disable Autolock";
inline constexpr char kEnableAutoLockCaption[] = "&Enable Autolock";

// The caption of an item; "-" for the two separators and "" outside the menu. The autolock item
// offers what choosing it would do.
std::string TrayMenuCaption(int index, bool isAutoLockDisabled);
bool IsTrayMenuSeparator(int index);

// "Orvo PC Lock <major>.<minor>", CR LF, the home-page address; while the secret is the grid's
// default pattern, a warning in place of the address.
std::string TrayTipText(const AppVersion& version, bool isDefaultPattern = false);
inline constexpr char kDefaultPatternTip[] = "Default pattern: anyone can unlock";


// The 64-character tooltip field of the icon record: the text left-aligned and padded with
// blanks. The shell reads the field as a NUL-terminated text, so a NUL always ends it inside the
// field: a longer text is cut to 63 characters.
inline constexpr std::size_t kTrayTipChars = 64;
std::array<char, kTrayTipChars> TrayTipField(std::string_view text);

// What a mouse message on the icon does: the left button's release locks, the right button's
// release opens the menu, anything else (presses, moves, double clicks) nothing.
enum class TrayCallbackAction { None, Lock, ShowMenu };
TrayCallbackAction TrayCallbackActionFor(uint32_t mouseMessage);

// The transparent-background switch: any value but 0 counts as on and turns it off (0); off
// turns it on (1).
int16_t ToggledTransparentBackground(int16_t value);
