// Captions, tooltip and callback decisions of the tray icon.
#include "tray/TrayText.h"

#include "resources/version.h"

namespace {

// The blank runs line the hot-key texts up in the menu's proportional font.
constexpr std::array<const char*, kTrayMenuCount> kCaptions = {
    "&Lock Computer              Win + A",
    "&Configure                  Win + C",
    "&About Orvo PC Lock",
    "&Online Help",
    kMenuSeparatorCaption,
    "&Using Transparent Background",
    kDisableAutoLockCaption,
    kMenuSeparatorCaption,
    "&Exit",
};

constexpr uint32_t kLeftButtonUp = 0x0202;    // WM_LBUTTONUP
constexpr uint32_t kRightButtonUp = 0x0205;   // WM_RBUTTONUP

}  // namespace

std::string TrayMenuCaption(int index, bool isAutoLockDisabled) {
    if (index < 0 || index >= kTrayMenuCount) return {};
    if (index == kMenuAutoLock && isAutoLockDisabled) return kEnableAutoLockCaption;
    return kCaptions[static_cast<std::size_t>(index)];
}

bool IsTrayMenuSeparator(int index) { return index == kMenuSeparator1 || index == kMenuSeparator2; }

std::string TrayTipText(const AppVersion& version, bool isDefaultPattern) {
    return std::string(ORVO_PRODUCT_NAME " ") + std::to_string(version.Major) + "." + std::to_string(version.Minor) +
           "\r\n" + (isDefaultPattern ? kDefaultPatternTip : ORVO_HOME_URL);
}

std::array<char, kTrayTipChars> TrayTipField(std::string_view text) {
    std::array<char, kTrayTipChars> field;
    field.fill(' ');
    const std::size_t length = text.size() < kTrayTipChars - 1 ? text.size() : kTrayTipChars - 1;
    text.copy(field.data(), length);
    field[length] = '\0';
    return field;
}

TrayCallbackAction TrayCallbackActionFor(uint32_t mouseMessage) {
    switch (mouseMessage) {
    case kLeftButtonUp: return TrayCallbackAction::Lock;
    case kRightButtonUp: return TrayCallbackAction::ShowMenu;
    default: return TrayCallbackAction::None;
    }
}

int16_t ToggledTransparentBackground(int16_t value) { return value != 0 ? 0 : 1; }
