// The one-second idle decisions and the tick arithmetic, driven by a fake clock.
#include "system/IdlePolicy.h"

#include <gtest/gtest.h>

namespace {

// A tick counter that starts near its wrap-around, so every test also crosses it.
struct FakeClock {
    uint32_t now = 0xFFFFF000u;
    void Advance(uint32_t ms) { now += ms; }
};

IdleInputs Defaults() {
    IdleInputs in;
    in.autoHideTime = 60;
    in.autoLockTime = 180;
    in.monitorOffTime = 300;
    return in;
}

}  // namespace

TEST(IdlePolicy, ElapsedSecondsAcrossWrapAndTies) {
    struct Case { uint32_t ms; int32_t seconds; };
    const Case cases[] = {{0, 0}, {499, 0}, {500, 0}, {501, 1}, {1500, 2}, {2500, 2}, {3500, 4},
                          {59499, 59}, {60500, 60}, {0x7FFFFFFFu, 2147484}, {0x80000000u, 0}, {0xFFFFFFFFu, 0}};
    for (const Case& c : cases) {
        FakeClock clock;
        const uint32_t then = clock.now;
        clock.Advance(c.ms);
        EXPECT_EQ(ElapsedSeconds(clock.now, then), c.seconds) << c.ms << " ms";
    }
}

TEST(IdlePolicy, ThresholdsReachedOneSecondAtATime) {
    // Simulate the timer with a fake clock: nothing moves the mouse after the lock.
    FakeClock clock;
    const uint32_t lastInput = clock.now;
    IdleInputs in = Defaults();
    in.isLocked = true;
    int hiddenAt = -1, offAt = -1;
    for (int tick = 1; tick <= 400; ++tick) {
        clock.Advance(1000);
        in.idleSeconds = in.inactiveSeconds = ElapsedSeconds(clock.now, lastInput);
        const IdleActions act = DecideIdleActions(in);
        EXPECT_FALSE(act.lockComputer);  // already locked
        if (act.hideLockWindow) { hiddenAt = tick; in.isLockWindowHidden = true; }
        if (act.turnOffMonitor) { offAt = tick; in.isMonitorOff = true; }
    }
    EXPECT_EQ(hiddenAt, 60);
    EXPECT_EQ(offAt, 300);
}

TEST(IdlePolicy, DecisionTable) {
    struct Case { const char* what; void (*setup)(IdleInputs&); IdleActions expected; };
    const Case cases[] = {
        {"unlocked, idle 180", [](IdleInputs& i) { i.idleSeconds = 180; }, {false, true, false}},
        {"unlocked, idle 179", [](IdleInputs& i) { i.idleSeconds = 179; }, {false, false, false}},
        {"auto-lock disabled", [](IdleInputs& i) { i.idleSeconds = 400; i.isAutoLockDisabled = true; }, {}},
        {"auto-lock never", [](IdleInputs& i) { i.idleSeconds = 200; i.autoLockTime = 0; }, {}},
        {"alarm blocks all", [](IdleInputs& i) { i.isAlarm = true; i.isLocked = true; i.idleSeconds = i.inactiveSeconds = 999; }, {}},
        {"locked, inactive 60", [](IdleInputs& i) { i.isLocked = true; i.inactiveSeconds = 60; }, {true, false, false}},
        {"hidden already", [](IdleInputs& i) { i.isLocked = true; i.isLockWindowHidden = true; i.inactiveSeconds = 99; }, {}},
        {"hide never", [](IdleInputs& i) { i.isLocked = true; i.autoHideTime = 0; i.inactiveSeconds = 99; }, {}},
        {"hide only when locked", [](IdleInputs& i) { i.inactiveSeconds = 99; }, {}},
        {"monitor at 300", [](IdleInputs& i) { i.isLocked = true; i.idleSeconds = 300; }, {false, false, true}},
        {"monitor already off", [](IdleInputs& i) { i.isLocked = true; i.isMonitorOff = true; i.idleSeconds = 300; }, {}},
        {"lock busy", [](IdleInputs& i) { i.isLocked = true; i.isLockBusy = true; i.idleSeconds = 300; }, {}},
        {"monitor never", [](IdleInputs& i) { i.isLocked = true; i.monitorOffTime = 0; i.idleSeconds = 9999; }, {}},
        {"unlocked all at once", [](IdleInputs& i) { i.idleSeconds = i.inactiveSeconds = 300; }, {false, true, true}},
    };
    for (const Case& c : cases) {
        IdleInputs in = Defaults();
        c.setup(in);
        EXPECT_EQ(DecideIdleActions(in), c.expected) << c.what;
    }
}
