// The full-screen cover of the primary monitor while locked: background picture or an almost
// invisible layer, the lock and unlock wipes, the 50 ms z-order watchdog, and the recall of an
// auto-hidden lock window. Its window also receives the hot keys (see MessageWindow).
#pragma once

#include <windows.h>

class FrmBackground {
public:
    FrmBackground() = default;
    FrmBackground(const FrmBackground&) = delete;
    FrmBackground& operator=(const FrmBackground&) = delete;
    ~FrmBackground();

    // Form_Initialize + Form_Load: hidden layered window, frame, hot keys and subclassing.
    bool Create(HINSTANCE instance);
    void Destroy();                 // Form_Unload
    HWND Hwnd() const { return hwnd_; }

    void IniBackground();           // paint the resting cover
    void IniEffectShow();
    void LockEffectShow();
    void UnlockEffectShow();
    void EnableWatchdog(bool enable);   // Timer1

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
    struct Impl;
    Impl* impl_ = nullptr;
};

extern FrmBackground* BackgroundWindow;

// Wipe strips cut from the background picture, kept until the picture changes.
void PrepareEffectStrips();
void CalcEffectBands();
void PrepareUnlockStrip();
void ReleaseEffectStrips();
