// The shared layered frame, checked by reading its DIB memory back: fill values, row order,
// per-pixel alpha of GDI+ drawing, outlined and shadowed text, and presentation on a window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/LayeredFrame.h"
#include "support/DrawTestSupport.h"

namespace {

using drawtest::Alpha;
using drawtest::Near;
using drawtest::Red;

// Bounding box and counts of the pixels that differ from the cleared value.
struct Ink {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
    int opaqueWhite = 0, opaqueBlack = 0, total = 0;
};
Ink FindInk(const LayeredFrame& frame, uint32_t background) {
    Ink ink;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) {
            const uint32_t p = frame.PixelAt(x, y);
            if (p == background) continue;
            ++ink.total;
            if (p == 0xFFFFFFFF) ++ink.opaqueWhite;
            if (p == 0xFF000000) ++ink.opaqueBlack;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

TEST(LayeredFrame, PremultipliesTheFillColour) {
    EXPECT_EQ(PremultiplyArgb(0x01000000), 0x01000000u);
    EXPECT_EQ(PremultiplyArgb(0x00FFFFFF), 0x00000000u);
    EXPECT_EQ(PremultiplyArgb(0xFF123456), 0xFF123456u);
    EXPECT_EQ(PremultiplyArgb(0x80FF0000), 0x80800000u);
}

TEST(LayeredFrame, RestoreFillsEveryPixel) {
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(nullptr, 37, 23));
    const struct { Gdiplus::ARGB argb; uint32_t stored; } cases[] = {
        {kClearAlphaOne, 0x01000000}, {kClearTransparent, 0x00000000}, {kClearOpaqueBlack, 0xFF000000}};
    for (const auto& c : cases) {
        frame.ClearFrame(c.argb);
        for (int y : {0, 11, 22})
            for (int x : {0, 18, 36}) EXPECT_EQ(frame.PixelAt(x, y), c.stored) << std::hex << c.argb;
    }
}

TEST(LayeredFrame, DibIsBottomUpAndGraphicsRowZeroIsTheTop) {
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(nullptr, 40, 30));
    HBITMAP dib = static_cast<HBITMAP>(GetCurrentObject(frame.MemoryDc(), OBJ_BITMAP));
    DIBSECTION section{};
    ASSERT_EQ(GetObjectA(dib, sizeof(section), &section), static_cast<int>(sizeof(section)));
    EXPECT_EQ(section.dsBmih.biHeight, 30);  // positive: bottom-up
    EXPECT_EQ(section.dsBmih.biBitCount, 32);
    EXPECT_EQ(section.dsBmih.biSizeImage, 40u * 30u * 4u);

    frame.ClearFrame(kClearAlphaOne);
    Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
    ASSERT_EQ(frame.Graphics()->FillRectangle(&red, 0, 0, 40, 1), Gdiplus::Ok);
    frame.Graphics()->Flush(Gdiplus::FlushIntentionSync);
    EXPECT_EQ(frame.PixelAt(5, 0), 0xFFFF0000u);
    EXPECT_EQ(frame.PixelAt(5, 1), 0x01000000u);
    EXPECT_EQ(frame.PixelAt(5, 29), 0x01000000u);
    // The top row is the last row of the DIB memory.
    const auto* memory = static_cast<const uint32_t*>(section.dsBm.bmBits);
    EXPECT_EQ(memory[29 * 40 + 5], 0xFFFF0000u);
}

TEST(LayeredFrame, DrawingKeepsPerPixelAlpha) {
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(nullptr, 120, 80));
    frame.ClearFrame(kClearAlphaOne);
    Gdiplus::Graphics* g = frame.Graphics();
    Gdiplus::SolidBrush panel(Gdiplus::Color(0xCC000000));
    Gdiplus::SolidBrush dot(Gdiplus::Color(0xAAFFFFFF));
    g->FillRectangle(&panel, 0, 0, 80, 80);
    g->FillEllipse(&dot, 10, 10, 34, 34);
    g->Flush(Gdiplus::FlushIntentionSync);
    EXPECT_EQ(frame.PixelAt(70, 70), 0xCC000000u);                // panel alone
    // 0xAA white over 0xCC black: alpha 170 + 204 * 85 / 255 = 238, colour 170 premultiplied.
    EXPECT_TRUE(Near(frame.PixelAt(27, 27), 0xEEAAAAAA, 1)) << std::hex << frame.PixelAt(27, 27);
    EXPECT_EQ(frame.PixelAt(100, 40), 0x01000000u);               // untouched
}

TEST(LayeredFrame, OutlinedTextIsCentredWhiteOnBlack) {
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(nullptr, 400, 60));
    frame.ClearFrame(kClearAlphaOne);
    std::string text = "  HIH  ";
    frame.DrawCentredText(text, 0, 10, 24, Gdiplus::FontStyleBold, 1, 0, 0);
    EXPECT_EQ(text, "HIH");  // trimmed in place
    const Ink ink = FindInk(frame, 0x01000000);
    ASSERT_GT(ink.total, 50) << "no text drawn: is Arial mapped to a real font in this prefix?";
    EXPECT_GT(ink.opaqueWhite, 20);
    EXPECT_GT(ink.opaqueBlack, 20);  // the outline
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 200.0, 3.0);
    EXPECT_GE(ink.top, 9);           // starts at the top of the rectangle, outline one pixel up
    EXPECT_LT(ink.top, 20);
}

TEST(LayeredFrame, TextWithoutBorderHasNoOutline) {
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(nullptr, 300, 60));
    frame.ClearFrame(kClearAlphaOne);
    std::string text = "HIH";
    frame.DrawCentredText(text, 0, 10, 24, Gdiplus::FontStyleBold, 0, 0, 0);
    const Ink ink = FindInk(frame, 0x01000000);
    EXPECT_GT(ink.opaqueWhite, 20);
    EXPECT_EQ(ink.opaqueBlack, 0);
}

TEST(LayeredFrame, ZeroWidthMeansFrameWidthFromX) {
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(nullptr, 400, 60));
    frame.ClearFrame(kClearAlphaOne);
    std::string text = "HIH";
    frame.DrawCentredText(text, 100, 0, 20, Gdiplus::FontStyleBold, 1, 0, 0);
    const Ink ink = FindInk(frame, 0x01000000);
    ASSERT_GT(ink.total, 0);
    // Centred in (100, 100 + 400): around 300, not around 200.
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 300.0, 3.0);

    frame.ClearFrame(kClearAlphaOne);
    frame.DrawCentredText(text, 50, 0, 20, Gdiplus::FontStyleBold, 1, 100, 0);
    const Ink boxed = FindInk(frame, 0x01000000);
    EXPECT_NEAR((boxed.left + boxed.right) / 2.0, 100.0, 3.0);
}

TEST(LayeredFrame, ShadowTextHasBlackBelowRight) {
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(nullptr, 300, 50));
    frame.ClearFrame(kClearTransparent);
    std::string text = "I";
    frame.DrawShadowText(text, 0, 5);
    const Ink ink = FindInk(frame, 0);
    ASSERT_GT(ink.opaqueWhite, 5);
    // The dark pixels form the same glyph one pixel to the right and one down.
    int whiteRight = -1, whiteBottom = -1, darkRight = -1, darkBottom = -1, dark = 0;
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x) {
            const uint32_t p = frame.PixelAt(x, y);
            if (Alpha(p) > 0xF0 && Red(p) > 0xF0) {
                whiteRight = std::max(whiteRight, x);
                whiteBottom = std::max(whiteBottom, y);
            } else if (Alpha(p) > 0xC0 && Red(p) < 0x40) {
                ++dark;
                darkRight = std::max(darkRight, x);
                darkBottom = std::max(darkBottom, y);
            }
        }
    EXPECT_GT(dark, 3);
    // Anti-aliased edges make the white box up to one pixel smaller than the glyph.
    EXPECT_GE(darkRight - whiteRight, 1);
    EXPECT_LE(darkRight - whiteRight, 2);
    EXPECT_GE(darkBottom - whiteBottom, 1);
    EXPECT_LE(darkBottom - whiteBottom, 2);
}

TEST(LayeredFrame, FailedCreationLeavesAnEmptyFrame) {
    LayeredFrame frame;
    EXPECT_FALSE(frame.CreateGraphic(nullptr, 0, 10));
    EXPECT_FALSE(frame.IsReady());
    frame.ClearFrame(kClearAlphaOne);  // nothing to fill, must not crash
    std::string text = "x";
    frame.DrawCentredText(text, 0, 0, 12, 1, 1, 0, 0);
    EXPECT_EQ(frame.PixelAt(0, 0), 0u);
    EXPECT_FALSE(frame.Present());
    frame.DeleteGraphic();
    frame.DeleteGraphic();
}

TEST(LayeredFrame, PresentsOnALayeredWindow) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LayeredFrameTestWindow";
    RegisterClassA(&wc);
    UniqueHwnd window(CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 64, 48, nullptr,
                                      nullptr, wc.hInstance, nullptr));
    if (!window) GTEST_SKIP() << "no display for windows";
    LayeredFrame frame;
    ASSERT_TRUE(frame.CreateGraphic(window.get(), 64, 48));
    frame.MakeLayered(window.get());
    EXPECT_NE(GetWindowLongA(window.get(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_EQ(frame.ConstantAlpha(), 255);
    frame.ClearFrame(kClearAlphaOne);
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(frame.Present());
    EXPECT_TRUE(frame.Present(128));
    EXPECT_EQ(frame.ConstantAlpha(), 128);
}

}  // namespace
