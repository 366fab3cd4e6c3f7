// A further monitor's cover. Unlike the primary cover it has no effects, no timer and no hot
// keys; the background cover's watchdog keeps it on top.
#include "cover/MonitorCover.h"

#include "ui/TabletGestures.h"
#include "cover/MonitorLayout.h"
#include "cover/WatchdogPolicy.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "ui/WindowClass.h"

namespace {

constexpr char kMonitorClass[] = "OrvoPCLockMonitor";

void DescribeMonitorClass(HINSTANCE instance, WNDCLASSEXA& wc) {
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kMonitorClass;
}

int WidthOf(const RECT& rc) { return rc.right - rc.left; }
int HeightOf(const RECT& rc) { return rc.bottom - rc.top; }

}  // namespace

MonitorCover::MonitorCover(const ConfigData& config, const LockScreenModel& model, ImageTable& images,
                           ActivityNotes& notes, WindowDirectory& windows)
    : config_(config),
      model_(model),
      images_(images),
      notes_(notes),
      windows_(windows),
      frame_(std::make_unique<LayeredFrame>()) {}

MonitorCover::~MonitorCover() { Destroy(); }

bool MonitorCover::Create(HINSTANCE instance, const RECT& monitor) {
    if (hwnd_) return true;
    WNDCLASSEXA wc{};
    DescribeMonitorClass(instance, wc);
    if (!RegisterWindowClass(wc)) return false;
    rect_ = monitor;
    // No title and no taskbar button: the cover tells nobody anything about the lock.
    if (!CreateWindowFor(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMonitorClass, "", WS_POPUP, monitor.left, monitor.top,
                         WidthOf(monitor), HeightOf(monitor), nullptr, nullptr, instance))
        return false;
    // No frame yet: PaintCover makes it at the lock, and the hidden cover gives it back.
    // Hidden still: only the band, no activation.
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

// A monitor can be rearranged between two locks; a cover left at its first place would cover
// the wrong area, and a frame of the old size would be presented on a window of the new one.
void MonitorCover::Place(const RECT& monitor) {
    Forget();
    if (!hwnd_) {
        // Lost since the last lock: made again over the monitor's new rectangle.
        Create(GetModuleHandleA(nullptr), monitor);
        return;
    }
    if (EqualRect(&rect_, &monitor)) return;
    rect_ = monitor;
    SetWindowPos(hwnd_, nullptr, monitor.left, monitor.top, WidthOf(monitor), HeightOf(monitor),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    frame_->DeleteGraphic();
}

void MonitorCover::FreeFrame() {
    frame_->ShrinkHiddenWindow();
    frame_->DeleteGraphic();
}

void MonitorCover::Destroy() {
    if (!hwnd_) return;
    DestroyWindow(hwnd_);   // ReleaseFrame runs inside
    hwnd_ = nullptr;
}

void MonitorCover::Forget() {
    if (hwnd_ && !IsWindow(hwnd_)) {
        hwnd_ = nullptr;
        frame_->DeleteGraphic();
    }
}

LRESULT MonitorCover::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONUP: RecallLockWindow(); return 0;
    case WM_KEYDOWN: RecallOnEnter(wp); return 0;
    case WM_MOUSEMOVE: NotePointerMove(); return 0;
    // Like the primary cover, this one cannot be closed (Alt + F4 on it, another program's
    // WM_CLOSE), minimized, moved or sized; the program destroys it itself.
    case WM_CLOSE: return 0;
    case kTabletQuerySystemGestureStatus: return kTabletGesturesOff;
    case WM_SYSCOMMAND:
        if (IsRefusedSystemCommand(wp)) return 0;
        break;
    case WM_DESTROY:
        // Only our own DestroyWindow ends the cover; a WM_DESTROY another program sends
        // would leave the window showing with nothing behind it.
        if (InSendMessage()) return 0;
        ReleaseFrame();
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

// The picture keeps the primary screen's proportions unless both screens are landscape; it is
// the background already scaled to the primary screen, so no new decoding happens per lock.
void MonitorCover::PaintCover() {
    if (!hwnd_) return;
    if (!frame_->IsReady() || frame_->Width() != WidthOf(rect_) || frame_->Height() != HeightOf(rect_)) {
        frame_->CreateGraphic(hwnd_, WidthOf(rect_), HeightOf(rect_));
        frame_->MakeLayered(hwnd_);
    }
    if (!frame_->IsReady()) return;
    Gdiplus::Graphics* graphics = frame_->Graphics();
    if (IsTransparentBackground(config_)) {
        // Alpha 1: the monitor's own content stays visible, yet the cover still takes the clicks.
        graphics->Clear(Gdiplus::Color(kClearAlphaOne));
    } else {
        graphics->Clear(Gdiplus::Color(kClearOpaqueBlack));
        const PictureRect at =
            CoverPictureRect(model_.ScreenWidth, model_.ScreenHeight, frame_->Width(), frame_->Height());
        // A missing picture leaves the cover black, which still hides the monitor.
        images_.Draw(graphics, kSlotBackground, kDrawScaledImage, at.x, at.y, at.w, at.h);
    }
    frame_->Present();
}

void MonitorCover::ClearFrame() { frame_->ClearFrame(kClearTransparent); }

// Click or Enter: a fresh idle screen on the lock window, raised again. The background cover's
// watchdog puts the focus back on it within one tick.
void MonitorCover::RecallLockWindow() {
    windows_.ShowIdleLockScreen();
    if (HWND lockWindow = windows_.LockWindowHwnd()) SetWindowPos(lockWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
    notes_.NoteActivity();
}

void MonitorCover::RecallOnEnter(WPARAM keyCode) {
    if (keyCode == VK_RETURN) RecallLockWindow();
}

// Pointer movement over the cover counts as activity for the monitor switch-off.
void MonitorCover::NotePointerMove() { notes_.NoteMonitorOn(); }

void MonitorCover::ReleaseFrame() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    frame_->DeleteGraphic();   // DeleteGraphic
}
