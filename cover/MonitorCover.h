// The cover of one further monitor while locked: a borderless, topmost layered window over that
// monitor showing the background picture (or an almost invisible layer). A click or Enter on it
// brings an auto-hidden lock window back on the primary screen.
#pragma once

#include <windows.h>

#include <memory>

#include "core/LockScreenModel.h"
#include "ui/LockRoles.h"
#include "ui/Window.h"

struct ConfigData;
class ImageTable;
class LayeredFrame;

class MonitorCover : public Window<MonitorCover> {
public:
    // The picture of `images` is fitted to the primary screen of `model`, or the monitor shows
    // through (`config`'s transparent cover); a click or Enter recalls the lock window through
    // `windows` and counts as activity in `notes`.
    MonitorCover(const ConfigData& config, const LockScreenModel& model, ImageTable& images, ActivityNotes& notes,
                 WindowDirectory& windows);
    MonitorCover(const MonitorCover&) = delete;
    MonitorCover& operator=(const MonitorCover&) = delete;
    ~MonitorCover();

    // The hidden window over `monitor` (virtual-screen pixels) in the topmost band. False when the window could not be made.
    bool Create(HINSTANCE instance, const RECT& monitor);
    // Moves the window onto another rectangle; the next PaintCover makes a frame of the new size.
    void Place(const RECT& monitor);
    void Destroy();
    // Drops a window that is no longer valid (destroyed without WM_DESTROY reaching us).
    void Forget();
    const RECT& Rect() const { return rect_; }

    // Paints the cover for the current settings and presents it, making its frame first.
    void PaintCover();
    // The frame given back while the cover is hidden (unlocked).
    void FreeFrame();
    // The frame cleared to fully transparent (not presented).
    void ClearFrame();
    const LayeredFrame& Frame() const { return *frame_; }

private:
    friend class Window<MonitorCover>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void RecallLockWindow();
    void RecallOnEnter(WPARAM keyCode);
    void NotePointerMove();
    void ReleaseFrame();

    const ConfigData& config_;
    const LockScreenModel& model_;
    ImageTable& images_;
    ActivityNotes& notes_;
    WindowDirectory& windows_;
    RECT rect_{};
    std::unique_ptr<LayeredFrame> frame_;
};
