// The full-screen lock window: clock, alert text, point panel, mode icons; takes the pattern,
// checks it, runs the alarm, fades itself out, and carries the program's one-second idle timer.
#pragma once

#include <windows.h>

#include <string>
#include "lockscreen/LockScreens.h"
#include "ui/LockRoles.h"
#include "ui/Window.h"

struct ConfigData;
class ImageTable;
struct LockScreenModel;
class LayeredFrame;
namespace Gdiplus { class Graphics; }

class LockWindow : public Window<LockWindow> {
public:
    // Draws `model` and writes its typed keys and letters: the keys this window takes and the
    // letters a switch to the Dynamic Password Mode deals. A right entry asks `lock` for the
    // unlock, and an idle screen for the lock; what the user does goes to `notes`. The model and
    // the roles outlive the window. The pattern is checked against `config`, whose idle times
    // it keeps; an alert mode out of range there is repaired and saved.
    // It draws from `images`, whose cached bitmaps are made for its graphics.
    LockWindow(ConfigData& config, LockScreenModel& model, ImageTable& images, LockControl& lock, ActivityNotes& notes,
               WindowDirectory& windows)
        : config_(config), model_(model), images_(images), lock_(lock), notes_(notes), windows_(windows) {}
    LockWindow(const LockWindow&) = delete;
    LockWindow& operator=(const LockWindow&) = delete;
    ~LockWindow();

    // The hidden layered window at (0, 0) covering the primary screen, its frame and drawing
    // objects, the idle and clock timers running. The image table's cached bitmaps are made for
    // its Graphics() after this.
    bool Create(HINSTANCE instance);
    void Destroy();

    // The window and its frame at a new screen size; an entry under way is dropped. The new
    // graphics has the same pixel format: the cached bitmaps still draw on it.
    void FitScreen(int width, int height);
    // The full-screen frame given back while the window is hidden; the next screen makes it again.
    void ReleaseFrame();
    // The idle screen, presented fully opaque / the entry in progress. A part other than Whole
    // redraws and presents only that part when the rest of the window already shows the
    // pattern screen, fully opaque for the idle screen; otherwise the whole screen.
    void PatternNormal(ScreenPart part = ScreenPart::Whole);
    void PatternAction(bool isPenColor, ScreenPart part = ScreenPart::Whole);
    void PatternAlert(int leftTime);
    void AutoHideLockWindow();
    bool IsAlarm() const;

    // Checks the entry (drawn points or typed keys) and counts wrong ones towards the alert.
    bool CheckSecretPattern();
    // Runs alert mode 0..5 (1..3 alarm of 60/120/180 s, 4 the system's lock, 5 power-off);
    // anything else is repaired to 1 and saved.
    void ProcessAlertMode(int inMode);
    // The frame the screens are drawn on (read back by tests and screenshots).
    LayeredFrame* Frame() const;
    // The graphics the image table's cached bitmaps are made for; null without a frame.
    Gdiplus::Graphics* Graphics() const;
    int HotItem() const;

private:
    friend class Window<LockWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void StartFrameAndTimers();
    void MakeFrame(int width, int height);
    void FitFrameToScreen();
    void ReleaseFrameAndTimers();
    void StartPatternEntry(double x, double y);
    void TrackPointer(double x, double y);
    void NotePointerMove(double x, double y);
    void CheckDrawnPattern(double x, double y);
    void SwitchModeUnderPointer();
    void TakeKey(int keyCode);
    void OnIdleTick();
    void OnClockTick();
    void OnAlarmSecond();
    void OnAlarmBlink();
    bool ShowCursorForHotItem();
    void HideSequence();
    void Present(bool fullyOpaque);
    void Redraw(bool isAction, bool isPenColor, ScreenPart part, bool fullyOpaque);
    void ReadClock();
    void StartClock();
    void SetClickThrough(bool clickThrough);
    std::string WaitText() const;
    ConfigData& config_;
    LockScreenModel& model_;
    ImageTable& images_;
    LockControl& lock_;
    ActivityNotes& notes_;
    WindowDirectory& windows_;
    struct Impl;
    Impl* impl_ = nullptr;
};
