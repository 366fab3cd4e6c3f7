// The lock-screen record's two steps that change several fields together.
#include "core/LockScreenModel.h"

void LockScreenModel::Fit(int grid, int width, int height) {
    ScreenWidth = width;
    ScreenHeight = height;
    IniLayout(Layout, grid, width, height);
}

void LockScreenModel::ShuffleLetters(const std::function<double()>& uniform) {
    const int points = PointCount();
    PointLetters = MakeRandomLetters(points, uniform);
    EnteredKeys.Reset(points);
}
