// Hundreds of locks and unlocks in one process with the program's real windows, pictures and
// registry: handles and GDI objects must come back to the same count, and the committed memory
// must not grow with the cycles. LockComputer is called directly, with the effect off; the
// unlock through the pattern entry (700 ms a cycle) is driven by the end-to-end soak in
// tests/e2e/faults_test.sh. A cycle takes about 130 ms here, so the test command runs 300
// (ORVO_SOAK_CYCLES sets another count; scripts/bench.sh runs 1000).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "core/ConfigData.h"
#include "app/LockSession.h"
#include "app/Startup.h"
#include "app/MessageWindow.h"
#include "cover/EffectStrips.h"
#include "cover/PrimaryCover.h"
#include "cover/MonitorCovers.h"
#include "lockscreen/LockWindow.h"
#include "ui/GdiPlusHandles.h"
#include "ui/ImageTable.h"
#include "support/DrawTestSupport.h"
#include "support/FaultSupport.h"
#include "system/Restrictions.h"
#include "support/LockStateTestAccess.h"
#include "support/SessionSupport.h"

namespace {

int SoakCycles() {
    const char* text = std::getenv("ORVO_SOAK_CYCLES");
    const int cycles = text ? std::atoi(text) : 0;
    return cycles > 10 ? cycles : 300;
}

faulttest::ResourceCounts Now() {
    return faulttest::CountResources(GetCurrentProcess(), GetCurrentProcessId());
}

void Print(int cycle, const faulttest::ResourceCounts& counts) {
    std::printf("soak cycle=%d handles=%lld gdi_objects=%lld private_bytes=%lld\n", cycle, counts.Handles,
                counts.GdiObjects, counts.PrivateBytes);
}

void LockCycle() {
    TestSession().LockComputer(true, false);
    PumpPendingMessages();
    TestSession().LockComputer(false, false);
    PumpPendingMessages();
}

}  // namespace

TEST(Soak, LockCyclesLeakNoHandleGdiObjectOrMemory) {
    GdiPlusSession gdiplus;
    ASSERT_TRUE(gdiplus.IsStarted());
    ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    ApplyDefaultConfig(Config);
    SetDefaultPattern(Config);
    Config.Effect = 0;
    // Every lock step that can run does: keyboard hook, hang-up, the letters of the
    // Dynamic Password Mode, the hidden shell.
    Config.LockKeyboard = 1;
    Config.Disconnection = 1;
    Config.UnlockMode = 2;
    FitScreenData(TestSession());
    TestSession().FurtherCovers().Create();
    TestSession().CreateCover(GetModuleHandleA(nullptr));
    TestSession().CreateLockWindow(GetModuleHandleA(nullptr));
    TestSession().LoadImages(drawtest::ProgramResources());
    ASSERT_NE(Images.Image(kSlotBackground), nullptr) << "a picture to draw on the cover";

    const int cycles = SoakCycles();
    // The first cycles create what lives on (the hook's module data, GDI+ caches, the letters'
    // table): the count after them is the base.
    for (int i = 0; i < 10; ++i) LockCycle();
    const faulttest::ResourceCounts base = Now();
    Print(10, base);
    ASSERT_GT(base.Handles, 0) << "no handle count under this Wine";
    ASSERT_GT(base.GdiObjects, 0) << "no GDI object count under this Wine";
    ASSERT_GT(base.PrivateBytes, 0) << "no private memory figure under this Wine";
    faulttest::ResourceCounts last = base;
    const DWORD start = GetTickCount();
    for (int cycle = 11; cycle <= cycles; ++cycle) {
        LockCycle();
        if (cycle % 100 == 0 || cycle == cycles) {
            last = Now();
            Print(cycle, last);
        }
    }
    std::printf("soak %d cycles in %.1f s\n", cycles - 10, (GetTickCount() - start) / 1000.0);
    // Counted between cycles, when no handler runs, so the counts should be equal; the margin
    // only allows for Wine's own helpers. One object kept per cycle would show as hundreds.
    EXPECT_LE(last.Handles, base.Handles + 5);
    EXPECT_LE(last.GdiObjects, base.GdiObjects + 5);
    // Memory: a frame of the screen is several MB, so a leaked frame a cycle would show as
    // gigabytes; heap growth without a leak stays far below a megabyte.
    EXPECT_LT(last.PrivateBytes - base.PrivateBytes, 4ll * 1024 * 1024);

    EXPECT_FALSE(CurrentLockState().IsLocked());
    TestSession().CloseMessageWindow();
    TestSession().CloseLockWindow();
    TestSession().CloseCover();
    TestSession().FurtherCovers().Destroy();
    Images.FreeAll();
    RestorePolicies();
}
