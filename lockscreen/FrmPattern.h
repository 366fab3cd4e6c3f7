// The full-screen lock window: clock, alert text, point panel, mode icons; takes the pattern,
// checks it, runs the alarm, fades itself out, and carries the program's one-second idle timer.
#pragma once

#include <windows.h>

class FrmPattern {
public:
    FrmPattern() = default;
    FrmPattern(const FrmPattern&) = delete;
    FrmPattern& operator=(const FrmPattern&) = delete;
    ~FrmPattern();

    // Form_Initialize: the hidden layered window at (0, 0) covering the primary screen, its
    // frame and drawing objects, Timer1 and Timer2 running.
    bool Create(HINSTANCE instance);
    void Destroy();                 // Form_Unload
    HWND Hwnd() const { return hwnd_; }

    void PatternNormal();           // idle screen, presented fully opaque
    void PatternAction(bool isPenColor);
    void PatternAlert(int leftTime);
    void AutoHideLockWindow();
    bool IsAlarm() const;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    struct Impl;
    Impl* impl_ = nullptr;
};

extern FrmPattern* PatternWindow;
