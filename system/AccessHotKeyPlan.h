// The accessibility hot keys a lock turns off (Sticky Keys' five Shifts, Filter Keys' held
// right Shift, Toggle Keys' held Num Lock, High Contrast's and Mouse Keys' shortcuts): each one
// opens a window above the lock that leads into the system's settings. What the lock turned off
// is remembered, so that exactly those come back. Pure: no platform headers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

enum class AccessFeature : int { StickyKeys, FilterKeys, ToggleKeys, HighContrast, MouseKeys };
inline constexpr int kAccessFeatureCount = 5;

const char* AccessFeatureName(AccessFeature feature);

// The features whose hot key a lock turned off, one bit per AccessFeature.
struct AccessHotKeySet {
    uint32_t Bits = 0;
    bool Has(AccessFeature feature) const { return (Bits >> static_cast<int>(feature)) & 1u; }
    void Add(AccessFeature feature) { Bits |= 1u << static_cast<int>(feature); }
    bool operator==(const AccessHotKeySet&) const = default;
};

// "StickyKeys;HighContrast" ("" when none); unknown names are skipped when read back.
std::string EncodeAccessHotKeySet(AccessHotKeySet set);
AccessHotKeySet DecodeAccessHotKeySet(const std::string& text);

// Whether each hot key is active now, as far as it could be read.
using AccessHotKeyStates = std::array<std::optional<bool>, kAccessFeatureCount>;

// At a lock: the hot keys active now, and the record to keep (what an earlier lock left that was
// never given back stays in it, since that lock is the one that turned those off).
AccessHotKeySet ActiveHotKeys(const AccessHotKeyStates& now);
// At a restore: the remembered hot keys not active now (one that cannot be read is tried).
// A hot key someone turned on again meanwhile is not written twice.
AccessHotKeySet HotKeysToTurnOn(AccessHotKeySet remembered, const AccessHotKeyStates& now);
