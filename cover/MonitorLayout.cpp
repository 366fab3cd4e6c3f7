// The picture rectangle on a further monitor's cover.
#include "cover/MonitorLayout.h"

#include "system/Text.h"

PictureRect CoverPictureRect(int screenW, int screenH, int coverW, int coverH) {
    const bool primaryLandscape = screenH < screenW;
    const bool coverLandscape = coverH < coverW;
    // Landscape pictures on a landscape monitor look right even slightly stretched; a portrait
    // monitor would squeeze them badly. screenW > 0 also follows from primaryLandscape, which
    // keeps the division below safe whenever it is reached with a real screen.
    if ((primaryLandscape && coverLandscape) || screenW <= 0) return {0, 0, coverW, coverH};
    const int height = static_cast<int>(RoundHalfEven(static_cast<double>(screenH) / screenW * coverW));
    const int top = static_cast<int>(RoundHalfEven((coverH - height) / 2.0));
    return {0, top, coverW, height};
}
