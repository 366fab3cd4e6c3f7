// Following the display: the screen's size is read at every lock, and while locked a changed
// resolution or orientation, or a monitor added or removed, covers every monitor again at its
// new size. Windows reports such a change with WM_DISPLAYCHANGE; the watchdog also compares the
// geometry itself, since not every system sends the message (a resized nested X display under
// Wine does not).
#include <windows.h>

#include "app/LockSession.h"
#include "cover/PrimaryCover.h"
#include "cover/MonitorCovers.h"
#include "lockscreen/LockWindow.h"
#include "ui/ImageTable.h"

// Every window that follows the primary screen's size, made again for it. The pattern's points,
// icons and input box move with the layout table, and so do the hit tests. The cached bitmaps
// of the image table still draw on the new frame, which has the same pixel format; they are
// made again only for a new scale.
void LockSession::FitScreen(int width, int height) {
    const double scale = model_.Layout.Scale;
    model_.Fit(config_.Grid, width, height, ReadScreenDpi());
    if (cover_) cover_->FitScreen(width, height);
    if (lockWindow_) lockWindow_->FitScreen(width, height);
    // A screen of another size may take another scale: the lock screen's images follow it.
    if (model_.Layout.Scale != scale)
        images_.RebuildLockImages(model_.Layout, lockWindow_ ? lockWindow_->Graphics() : nullptr);
    // The wipe strips were cut at the old height; the next wipe cuts them again.
    strips_.Release();
}

bool LockSession::ReadDisplay(bool* resized) {
    *resized = false;
    DisplayGeometry now = ReadDisplayGeometry();
    // A new scale chosen for the primary monitor lays the lock screen out again too.
    now.dpi = ReadScreenDpi();
    if (now == display_) return false;
    display_ = now;
    // A screen the system cannot size keeps the last layout rather than none.
    if (now.width > 0 && now.height > 0 &&
        (now.width != model_.ScreenWidth || now.height != model_.ScreenHeight || now.dpi != model_.Dpi)) {
        FitScreen(now.width, now.height);
        *resized = true;
    }
    return true;
}

// The covers over the monitors as they are now, both covers and the lock window painted at the
// new size, and everything back in its order: the system may have re-stacked the program's
// full-screen windows while it changed the display (Wine put a cover above the lock window).
void LockSession::CoverAgain() {
    furtherCovers_.Show(true);
    if (cover_) cover_->PaintRestingCover();
    state_.NoteActivity(GetTickCount());
    if (lockWindow_ && !lockWindow_->IsAlarm()) lockWindow_->PatternNormal();
    if (cover_) cover_->RaiseInOrder();
    if (HWND pattern = LockWindowHwnd()) {
        SetForegroundWindow(pattern);
        SetFocus(pattern);
    }
}

bool LockSession::FollowDisplay() {
    bool resized = false;
    if (!ReadDisplay(&resized)) return false;
    // A lock or unlock under way shows or hides the covers itself, at the size now read.
    if (state_.Phase() != LockPhase::Locked) {
        if (resized) images_.ReloadBackground(config_, model_);
        return true;
    }
    // Covered at once with the old picture stretched; the picture decoded again for the new
    // size takes longer and replaces it when ready.
    CoverAgain();
    if (resized && images_.ReloadBackground(config_, model_)) {
        if (cover_) cover_->PaintRestingCover();
        furtherCovers_.Show(true);
        if (cover_) cover_->RaiseInOrder();
    }
    return true;
}
