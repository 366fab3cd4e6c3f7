// The program's message window: a hidden, message-only window of its own that holds the two
// global hot keys (Win + A, Win + C) for as long as it exists and takes their WM_HOTKEY, and
// whose timer reads the policies again every minute.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>

#include "ui/LockRoles.h"
#include "ui/Window.h"

struct ConfigData;

inline constexpr char kMessageWindowClass[] = "OrvoPCLockMessageWindow";
// The WM_TIMER identifier of the minute's policy refresh.
inline constexpr UINT_PTR kPolicyRefreshTimer = 1;

// Win + A and Win + C registered to a window, each under the identifier of its global atom.
// The keys and the atoms are given back when this ends, while the window still exists.
class HotKeyRegistration {
public:
    explicit HotKeyRegistration(HWND owner);
    HotKeyRegistration(const HotKeyRegistration&) = delete;
    HotKeyRegistration& operator=(const HotKeyRegistration&) = delete;
    ~HotKeyRegistration();

    // Entry 0: Win + A (lock), entry 1: Win + C (configure); 0 for a key without its atom.
    const std::array<int32_t, 2>& Ids() const { return ids_; }
    // True for an entry that could not be registered (another program holds the key).
    const std::array<bool, 2>& Failed() const { return failed_; }

private:
    void Register(int entry, const char* atomName, UINT key);
    void Unregister(int entry);

    HWND owner_ = nullptr;
    std::array<ATOM, 2> atoms_{};
    std::array<int32_t, 2> ids_{};
    std::array<bool, 2> failed_{};
};

class MessageWindow : public Window<MessageWindow> {
public:
    // Win + A asks `lock` for a lock, Win + C `windows` for the verify dialog; the minute's
    // refresh writes the policies' values into `config`.
    MessageWindow(ConfigData& config, LockControl& lock, WindowDirectory& windows)
        : config_(config), lock_(lock), windows_(windows) {}
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    ~MessageWindow();

    // Makes the window and registers the hot keys to it.
    bool Create(HINSTANCE instance);
    // The identifiers the hot keys were registered under; both 0 once the window has gone.
    std::array<int32_t, 2> HotKeyIds() const;
    std::array<bool, 2> FailedHotKeys() const;
    // The policies read again every minute from now on.
    void StartPolicyRefresh();

private:
    friend class Window<MessageWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void LockOrConfigure(WPARAM hotKeyId);
    void UnregisterHotKeys();
    void OnPolicyRefreshTick();

    ConfigData& config_;
    LockControl& lock_;
    WindowDirectory& windows_;
    std::unique_ptr<HotKeyRegistration> hotKeys_;
};
