// Helpers for the drawing tests: the GDI+ session for the whole test program and pixel checks
// on a layered frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ui/LayeredFrame.h"

namespace drawtest {

inline uint32_t Alpha(uint32_t pixel) { return pixel >> 24; }
inline uint32_t Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
inline uint32_t Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
inline uint32_t Blue(uint32_t pixel) { return pixel & 0xFF; }

// Every channel within tolerance.
bool Near(uint32_t a, uint32_t b, int tolerance);

// Pixels in the rectangle that differ from `background`.
int CountInk(const LayeredFrame& frame, int left, int top, int width, int height, uint32_t background);

// The module that holds the program's pictures: OrvoPCLock.exe beside the test program, loaded
// as data; null when it is not there or has no pictures (the tests that need artwork then skip).
HMODULE ProgramResources();

// Plain-coloured stand-ins for the artwork, so positions can be told by colour.
constexpr Gdiplus::ARGB kIconColours[3] = {0xFFE02020, 0xFF20E020, 0xFF2020E0};  // slots 8, 9, 10
constexpr Gdiplus::ARGB kRedShield = 0xFFFF0000, kBlueShield = 0xFF0000FF;        // slots 4, 5
GdiPlusPtr<Gdiplus::Bitmap> SolidBitmap(int width, int height, Gdiplus::ARGB argb);
// LoadImages from the module, then the icons and shields replaced by the stand-ins (the shields
// as cached bitmaps for lockGraphics).
void LoadStandInImages(Gdiplus::Graphics* lockGraphics, HMODULE resources);

// A small PNG made by GDI+ itself, as file bytes.
std::string MakePngBytes(int width, int height, uint32_t argb);

}  // namespace drawtest
