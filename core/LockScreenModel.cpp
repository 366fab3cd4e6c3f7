// The lock-screen record's two steps that change several fields together.
#include "core/LockScreenModel.h"

void LockScreenModel::Fit(int grid, int width, int height, int dpi) {
    ScreenWidth = width;
    ScreenHeight = height;
    Dpi = dpi;
    ComputeLayout(Layout, grid, width, height, dpi);
}

void LockScreenModel::ShuffleLetters(const std::function<double()>& uniform) {
    const int points = PointCount();
    PointLetters = MakeRandomLetters(points, uniform);
    EnteredKeys.Reset(points);
}
