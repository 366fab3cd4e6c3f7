// orvo_draw_bench: the drawing costs of the lock program measured inside one process with the
// program's own windows: one PatternAction redraw (what every added point of a drag costs),
// the same redraw split into drawing and UpdateLayeredWindow, the two ways of clearing a
// frame, and one step of the lock wipe (the whole LockEffectShow divided by its steps, less the
// 25 ms pause of each step). Prints "name value note" lines; never fails on slowness.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/ConfigData.h"
#include "app/Startup.h"
#include "app/MessageWindow.h"
#include "cover/EffectMath.h"
#include "cover/PrimaryCover.h"
#include "lockscreen/LockWindow.h"
#include "lockscreen/LockScreens.h"
#include "system/WinHandles.h"
#include "ui/GdiPlusHandles.h"
#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "support/SessionSupport.h"

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A drag over the whole grid on a layered window of our own: each added point redraws the
// screen; the redraw should cost little next to UpdateLayeredWindow.
void DragRedraw() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DrawBenchDragWindow";
    RegisterClassA(&wc);
    UniqueHwnd window(CreateWindowExA(WS_EX_LAYERED, wc.lpszClassName, "", WS_POPUP, 0, 0, ScreenWidth,
                                      ScreenHeight, nullptr, nullptr, wc.hInstance, nullptr));
    LayeredFrame frame;
    if (!frame.CreateGraphic(window.get(), ScreenWidth, ScreenHeight)) return;
    frame.MakeTrailPens();
    frame.MakeLayered(window.get());
    const int points = Layout.GridSide * Layout.GridSide;
    PatternEntry entry;
    entry.Reset(points);
    LockScreenView view;
    view.images = &Images;
    view.layout = &Layout;
    view.entered = &entry;
    view.timeText = "10:42 AM";
    view.dateText = "Monday, March 04, 2024";
    view.alertText = "Do not touch my computer!";
    if (window) ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    double draw = 0, present = 0;
    for (int point = 1; point <= points; ++point) {
        entry.Add(point);
        const double a = NowMs();
        DrawPatternScreen(frame, view, true, false);
        const double b = NowMs();
        if (window) frame.Present();
        present += NowMs() - b;
        draw += b - a;
    }
    std::printf("drag_redraw_draw %.1f_ms mean_of_%d_points\n", draw / points, points);
    std::printf("drag_redraw_present %.1f_ms UpdateLayeredWindow%s\n", present / points,
                window ? "" : ",_no_window");
}

// Clearing a full frame by filling its memory against Graphics::Clear.
void FrameClear() {
    LayeredFrame frame;
    if (!frame.CreateGraphic(nullptr, ScreenWidth, ScreenHeight)) return;
    const double a = NowMs();
    for (int i = 0; i < 5; ++i) frame.ClearFrame(kClearAlphaOne);
    const double b = NowMs();
    for (int i = 0; i < 5; ++i) frame.Graphics()->Clear(Gdiplus::Color(kClearAlphaOne));
    const double c = NowMs();
    std::printf("frame_clear_by_fill %.2f_ms mean_of_5\n", (b - a) / 5);
    std::printf("frame_clear_by_graphics_clear %.2f_ms mean_of_5\n", (c - b) / 5);
}

}  // namespace

int main() {
    const GdiPlusSession gdiplus;
    if (!gdiplus.IsStarted()) return 1;
    ApplyDefaultConfig(Config);
    Config.Effect = 1;
    FitScreenData(TestSession());
    TestSession().CreateCover(GetModuleHandleA(nullptr));
    TestSession().CreateLockWindow(GetModuleHandleA(nullptr));
    const double loadStart = NowMs();
    TestSession().LoadImages(nullptr, BackgroundLoad::Aside);
    const double windowThreadMs = NowMs() - loadStart;
    Images.Image(kSlotBackground);   // the background picture, made aside, is ready
    std::printf("load_images %.0f_ms once_at_start-up,_%.0f_ms_of_it_on_the_window_thread\n", NowMs() - loadStart,
                windowThreadMs);
    LockWindow* PatternWindow = TestSession().LockWindowObject();
    PrimaryCover* BackgroundWindow = TestSession().Cover();
    if (!PatternWindow || !BackgroundWindow || !PatternWindow->Hwnd() || !BackgroundWindow->Hwnd()) {
        std::fprintf(stderr, "error: the windows could not be created\n");
        return 1;
    }

    // One redraw of the lock screen with an entry in progress, shown on top as while locked.
    ShowWindow(PatternWindow->Hwnd(), SW_SHOWNOACTIVATE);
    PatternWindow->PatternNormal();
    std::vector<double> redraws;
    for (int i = 0; i < 30; ++i) {
        double start = NowMs();
        PatternWindow->PatternAction(false);
        redraws.push_back(NowMs() - start);
        PumpPendingMessages();
    }
    // A drag step as the window takes it: only the panel is redrawn and presented.
    std::vector<double> steps;
    for (int i = 0; i < 30; ++i) {
        const double start = NowMs();
        PatternWindow->PatternAction(false, ScreenPart::Panel);
        steps.push_back(NowMs() - start);
        PumpPendingMessages();
    }
    ShowWindow(PatternWindow->Hwnd(), SW_HIDE);
    std::printf("pattern_action_redraw %.1f_ms whole_screen,_median_of_30\n", Median(redraws));
    std::printf("drag_step %.1f_ms panel_only,_median_of_30\n", Median(steps));
    DragRedraw();
    FrameClear();

    // The lock wipe: strips cut once, then the whole effect timed.
    double cutStart = NowMs();
    TestSession().PrepareEffectStrips();
    std::printf("effect_strips_prepare %.0f_ms once_per_picture\n", NowMs() - cutStart);
    ShowWindow(BackgroundWindow->Hwnd(), SW_SHOWNOACTIVATE);
    const int effectSteps = EffectStepCount(ScreenWidth) + 1;
    double effectStart = NowMs();
    BackgroundWindow->LockEffectShow();
    double effect = NowMs() - effectStart;
    ShowWindow(BackgroundWindow->Hwnd(), SW_HIDE);
    std::printf("lock_effect_whole %.0f_ms %d_steps\n", effect, effectSteps);
    std::printf("lock_effect_step %.1f_ms without_the_25_ms_pause\n", effect / effectSteps - 25.0);
    return 0;
}
