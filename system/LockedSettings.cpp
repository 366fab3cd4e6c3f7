// The accessibility hot keys through SystemParametersInfo, the edge-gesture window property
// through the shell's property store of a window, and the lock's and restore's steps on them.
#include "system/LockedSettings.h"

#include <propsys.h>

#include "system/LockRecord.h"

namespace {

// Each of the five settings has cbSize and dwFlags, and its hot-key flag is the same bit
// (SKF_, FKF_, TKF_, HCF_, MKF_HOTKEYACTIVE).
constexpr DWORD kHotKeyActive = 0x00000004;

template <class Setting>
std::optional<Setting> ReadSetting(UINT getAction) {
    Setting setting{};
    setting.cbSize = sizeof setting;
    if (!SystemParametersInfoA(getAction, sizeof setting, &setting, 0)) return std::nullopt;
    return setting;
}

template <class Setting>
std::optional<bool> ReadHotKey(UINT getAction) {
    const auto setting = ReadSetting<Setting>(getAction);
    if (!setting) return std::nullopt;
    return (setting->dwFlags & kHotKeyActive) != 0;
}

// Read, change the one flag, write back: every other field stays as the system holds it (the
// high-contrast scheme name included, which points into the system's own buffer). Without
// SPIF_UPDATEINIFILE the change ends with the session, so a lock program that dies leaves the
// user's profile as it was; the lock record gives it back within the session.
template <class Setting>
bool WriteHotKey(UINT getAction, UINT setAction, bool active) {
    auto setting = ReadSetting<Setting>(getAction);
    if (!setting) return false;
    setting->dwFlags = active ? setting->dwFlags | kHotKeyActive : setting->dwFlags & ~kHotKeyActive;
    return SystemParametersInfoA(setAction, sizeof *setting, &*setting, 0) != FALSE;
}

// {32CE38B2-2C9A-41B1-9BC5-B3784394AA44}, 2.
constexpr PROPERTYKEY kEdgeGestureDisableTouchWhenFullscreen = {
    {0x32CE38B2, 0x2C9A, 0x41B1, {0x9B, 0xC5, 0xB3, 0x78, 0x43, 0x94, 0xAA, 0x44}}, 2};
// {886D8EEB-8CF2-4446-8D02-CDBA1DBDCF99}
constexpr IID kIidPropertyStore = {0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};

class SystemSettings final : public LockedSettings {
public:
    std::optional<bool> IsHotKeyActive(AccessFeature feature) override {
        switch (feature) {
        case AccessFeature::StickyKeys: return ReadHotKey<STICKYKEYS>(SPI_GETSTICKYKEYS);
        case AccessFeature::FilterKeys: return ReadHotKey<FILTERKEYS>(SPI_GETFILTERKEYS);
        case AccessFeature::ToggleKeys: return ReadHotKey<TOGGLEKEYS>(SPI_GETTOGGLEKEYS);
        case AccessFeature::HighContrast: return ReadHotKey<HIGHCONTRASTA>(SPI_GETHIGHCONTRAST);
        case AccessFeature::MouseKeys: return ReadHotKey<MOUSEKEYS>(SPI_GETMOUSEKEYS);
        }
        return std::nullopt;
    }

    bool SetHotKeyActive(AccessFeature feature, bool active) override {
        switch (feature) {
        case AccessFeature::StickyKeys: return WriteHotKey<STICKYKEYS>(SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, active);
        case AccessFeature::FilterKeys: return WriteHotKey<FILTERKEYS>(SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, active);
        case AccessFeature::ToggleKeys: return WriteHotKey<TOGGLEKEYS>(SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, active);
        case AccessFeature::HighContrast:
            return WriteHotKey<HIGHCONTRASTA>(SPI_GETHIGHCONTRAST, SPI_SETHIGHCONTRAST, active);
        case AccessFeature::MouseKeys: return WriteHotKey<MOUSEKEYS>(SPI_GETMOUSEKEYS, SPI_SETMOUSEKEYS, active);
        }
        return false;
    }

    // SHGetPropertyStoreForWindow came with Windows 7: looked up at run time. Removing the value
    // (VT_EMPTY) gives the edges back.
    bool SetEdgeGesturesBlocked(HWND window, bool blocked) override {
        using GetStoreFn = HRESULT(WINAPI*)(HWND, REFIID, void**);
        static const auto getStore = [] {
            HMODULE shell = LoadLibraryA("shell32.dll");   // kept loaded for the program's life
            FARPROC found = shell ? GetProcAddress(shell, "SHGetPropertyStoreForWindow") : nullptr;
            return reinterpret_cast<GetStoreFn>(reinterpret_cast<void (*)()>(found));
        }();
        if (!getStore || !window) return false;
        // The store is a COM object: the thread needs COM for the call (S_FALSE: it had it).
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IPropertyStore* store = nullptr;
        HRESULT result = getStore(window, kIidPropertyStore, reinterpret_cast<void**>(&store));
        if (SUCCEEDED(result) && store) {
            PROPVARIANT value{};
            if (blocked) {
                value.vt = VT_BOOL;
                value.boolVal = VARIANT_TRUE;
            }
            result = store->SetValue(kEdgeGestureDisableTouchWhenFullscreen, value);
            store->Release();
        } else if (SUCCEEDED(result)) {
            result = E_FAIL;
        }
        if (SUCCEEDED(com)) CoUninitialize();
        return SUCCEEDED(result);
    }
};

AccessHotKeyStates ReadHotKeys(LockedSettings& settings) {
    AccessHotKeyStates states;
    for (int i = 0; i < kAccessFeatureCount; ++i) states[i] = settings.IsHotKeyActive(static_cast<AccessFeature>(i));
    return states;
}

}  // namespace

LockedSettings& SystemLockedSettings() {
    static SystemSettings settings;
    return settings;
}

void TurnOffAccessHotKeys(LockedSettings& settings) {
    const AccessHotKeySet active = ActiveHotKeys(ReadHotKeys(settings));
    // Those an earlier lock turned off and never gave back read as off now, yet were on.
    AccessHotKeySet remembered = active;
    if (const auto earlier = ReadRememberedHotKeys()) remembered.Bits |= earlier->Bits;
    // Written before anything changes: a kill in between leaves a record of hot keys that are
    // still on, and its restore finds nothing to do.
    if (!WriteRememberedHotKeys(remembered)) return;
    for (int i = 0; i < kAccessFeatureCount; ++i) {
        const auto feature = static_cast<AccessFeature>(i);
        // A hot key that cannot be turned off stays in the record: turning it on again is harmless.
        if (active.Has(feature)) settings.SetHotKeyActive(feature, false);
    }
}

bool RestoreAccessHotKeys(LockedSettings& settings) {
    const auto remembered = ReadRememberedHotKeys();
    if (!remembered) return false;
    const AccessHotKeySet turnOn = HotKeysToTurnOn(*remembered, ReadHotKeys(settings));
    AccessHotKeySet failed;
    for (int i = 0; i < kAccessFeatureCount; ++i) {
        const auto feature = static_cast<AccessFeature>(i);
        if (turnOn.Has(feature) && !settings.SetHotKeyActive(feature, true)) failed.Add(feature);
    }
    if (failed.Bits != 0)
        WriteRememberedHotKeys(failed);
    else
        ForgetRememberedHotKeys();
    return true;
}
