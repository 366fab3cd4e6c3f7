// orvo_draw_bench: the drawing costs of the lock program measured inside one process with the
// program's own windows: one PatternAction redraw (what every added point of a drag costs)
// and one step of the lock wipe (the whole LockEffectShow divided by its steps, less the
// 25 ms pause of each step). Prints "name value note" lines; never fails on slowness.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/AppState.h"
#include "core/ConfigData.h"
#include "app/Startup.h"
#include "app/StartupHooks.h"
#include "cover/EffectMath.h"
#include "cover/FrmBackground.h"
#include "lockscreen/FrmPattern.h"
#include "ui/GdiPlusHandles.h"
#include "ui/ImageTable.h"

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

}  // namespace

int main() {
    const GdiPlusSession gdiplus;
    if (!gdiplus.IsStarted()) return 1;
    ApplyDefaultConfig(Config);
    Config.Effect = 1;
    IniScreenData();
    StartupCreateBackgroundWindow();
    StartupCreateLockWindow();
    StartupLoadImages();
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
    ShowWindow(PatternWindow->Hwnd(), SW_HIDE);
    std::printf("pattern_action_redraw %.1f_ms median_of_30\n", Median(redraws));

    // The lock wipe: strips cut once, then the whole effect timed.
    double cutStart = NowMs();
    PrepareEffectStrips();
    std::printf("effect_strips_prepare %.0f_ms once_per_picture\n", NowMs() - cutStart);
    ShowWindow(BackgroundWindow->Hwnd(), SW_SHOWNOACTIVATE);
    const int steps = EffectStepCount(ScreenWidth) + 1;
    double effectStart = NowMs();
    BackgroundWindow->LockEffectShow();
    double effect = NowMs() - effectStart;
    ShowWindow(BackgroundWindow->Hwnd(), SW_HIDE);
    std::printf("lock_effect_whole %.0f_ms %d_steps\n", effect, steps);
    std::printf("lock_effect_step %.1f_ms without_the_25_ms_pause\n", effect / steps - 25.0);
    return 0;
}
