// Text form of the remembered accessibility hot keys and the lock's and restore's choices.
#include "system/AccessHotKeyPlan.h"

#include <string_view>

namespace {
constexpr const char* kNames[kAccessFeatureCount] = {"StickyKeys", "FilterKeys", "ToggleKeys", "HighContrast",
                                                     "MouseKeys"};
}  // namespace

const char* AccessFeatureName(AccessFeature feature) { return kNames[static_cast<int>(feature)]; }

std::string EncodeAccessHotKeySet(AccessHotKeySet set) {
    std::string text;
    for (int i = 0; i < kAccessFeatureCount; ++i) {
        if (!set.Has(static_cast<AccessFeature>(i))) continue;
        if (!text.empty()) text += ';';
        text += kNames[i];
    }
    return text;
}

AccessHotKeySet DecodeAccessHotKeySet(const std::string& text) {
    AccessHotKeySet set;
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        const std::string_view name = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        for (int i = 0; i < kAccessFeatureCount; ++i)
            if (name == kNames[i]) set.Add(static_cast<AccessFeature>(i));
    }
    return set;
}

AccessHotKeySet ActiveHotKeys(const AccessHotKeyStates& now) {
    AccessHotKeySet set;
    for (int i = 0; i < kAccessFeatureCount; ++i)
        if (now[i].value_or(false)) set.Add(static_cast<AccessFeature>(i));
    return set;
}

AccessHotKeySet HotKeysToTurnOn(AccessHotKeySet remembered, const AccessHotKeyStates& now) {
    AccessHotKeySet set;
    for (int i = 0; i < kAccessFeatureCount; ++i) {
        const auto feature = static_cast<AccessFeature>(i);
        if (remembered.Has(feature) && !now[i].value_or(false)) set.Add(feature);
    }
    return set;
}
