// The full-screen cover of the primary monitor while locked: background picture or an almost
// invisible layer, the lock and unlock wipes, the z-order watchdog (window events and a slow
// poll), and the recall of an auto-hidden lock window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include "ui/LockRoles.h"
#include "ui/Window.h"

struct ConfigData;
struct LockScreenModel;
class EffectStrips;
class ImageTable;
class MonitorCovers;
namespace Gdiplus { class Graphics; }

class PrimaryCover : public Window<PrimaryCover> {
public:
    // Covers the screen of `model` with the picture of `images`, or lets it show through
    // (`config`'s transparent cover), and wipes with `strips`; reads the lock state from `lock`,
    // tells `notes` of the user's activity, finds the lock window in `windows` and keeps
    // `furtherCovers` on top. All of them outlive the window.
    PrimaryCover(const ConfigData& config, const LockScreenModel& model, ImageTable& images,
                 const EffectStrips& strips, const LockControl& lock, ActivityNotes& notes, WindowDirectory& windows,
                 MonitorCovers& furtherCovers);
    PrimaryCover(const PrimaryCover&) = delete;
    PrimaryCover& operator=(const PrimaryCover&) = delete;
    ~PrimaryCover();

    // The hidden layered window with its frame.
    bool Create(HINSTANCE instance);
    void Destroy();

    void PaintRestingCover();           // paint the resting cover
    void PaintUnlockWipeStart();
    void LockEffectShow();
    void UnlockEffectShow();
    void EnableWatchdog(bool enable);

    // The window and its frame at a new screen size (not painted).
    void FitScreen(int width, int height);
    // The full-screen frame given back while unlocked; the next painting makes it again.
    void ReleaseFrame();
    // The program's windows back on top of every other, in order and in place, without
    // activation: the covers, this one, the lock window above it unless faded out.
    void RaiseInOrder();

    void ClearFrame();          // the frame cleared to fully transparent (not presented)
    bool IsWatchdogRunning() const;
    Gdiplus::Graphics* Graphics() const;    // BackgroundGraphics; null without a frame
    // The premultiplied 0xAARRGGBB pixel the window was last given at (x, y) from the top left
    // (its frame's, or the background picture's); 0 outside.
    uint32_t FramePixel(int x, int y) const;

private:
    friend class Window<PrimaryCover>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void RecallOnEnter(WPARAM keyCode);
    void NotePointerMove();
    void OnWatchdogTick();
    void OnWindowEvents();
    void OnDisplayChange();
    void FitFrameToScreen();
    void TakePictureIntoFrame();
    int ScreenWidth() const;
    RECT ShownRect() const;
    int ScreenHeight() const;
    void HoldWindows();
    void RecallLockWindow();
    const ConfigData& config_;
    const LockScreenModel& model_;
    ImageTable& images_;
    const EffectStrips& strips_;
    const LockControl& lock_;
    ActivityNotes& notes_;
    WindowDirectory& windows_;
    MonitorCovers& furtherCovers_;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

