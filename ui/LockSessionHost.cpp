// The one lock session the windows talk to.
#include "ui/LockSessionHost.h"

namespace {

// Stands in before the session exists (and in programs without one): reads as unlocked and
// ignores every request.
class NoSession final : public LockSessionHost {
public:
    const LockState& State() const override { return state_; }
    const LockScreenModel& Model() const override { return model_; }
    void FitGrid() override {}
    void SetAlertText(const std::string&) override {}
    void RequestLock(bool) override {}
    void NoteActivity() override {}
    void NotePointerMove(bool) override {}
    void NoteMonitorOn() override {}
    void NoteMonitorOff() override {}
    void RestartIdleCount() override {}
    void SetLockWindowHidden(bool) override {}
    void SetUnlockMode(int32_t) override {}
    void ToggleAutoLock() override {}
    int32_t MeasureIdleSeconds() override { return 0; }
    int32_t InactiveSeconds() override { return 0; }
    std::string RestrictionFailureText() const override { return {}; }
    HWND LockWindowHwnd() override { return nullptr; }
    HWND BackgroundHwnd() override { return nullptr; }
    void ShowIdleLockScreen() override {}
    void ShowVerifyDialog() override {}
    void ShowConfigDialog() override {}
    void ExitApplication() override {}
    void PrepareEffectStrips() override {}
    void ReleaseEffectStrips() override {}
    bool FollowDisplay() override { return false; }

private:
    LockState state_;
    LockScreenModel model_;
};

NoSession gNoSession;
LockSessionHost* gHost = nullptr;

}  // namespace

void LockSessionHost::Register(LockSessionHost* host) { gHost = host; }

LockSessionHost& Session() { return gHost ? *gHost : gNoSession; }
