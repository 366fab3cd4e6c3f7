// The image table's painters and loaders, checked on the pixels they leave in a frame: the
// panel with its dots on both screen sizes, the rings, the boxes, scaled pictures, and the
// fall-back when a picture cannot be read.
#include <gtest/gtest.h>

#include <fstream>

#include "ui/ImageTable.h"
#include "ui/LayeredFrame.h"
#include "support/DrawTestSupport.h"
#include "support/SessionSupport.h"

using namespace drawtest;

namespace {

constexpr uint32_t kAlphaOne = 0x01000000;
constexpr uint32_t kPanelBlack = 0xCC000000;
constexpr uint32_t kDotOverPanel = 0xEEAAAAAA;  // 0xAA white over 0xCC black, premultiplied

// The graphics the cached bitmaps are made for: the frame's of the running test.
Gdiplus::Graphics* PatternGraphics = nullptr;

// A screen-sized frame whose graphics stands for the lock window's, with the layout for one grid.
class ScreenFrame : public ::testing::Test {
protected:
    void Start(int width, int height, int grid) {
        ScreenWidth = width;
        ScreenHeight = height;
        Config.Grid = static_cast<uint8_t>(grid);
        ComputeLayout(Layout, grid, width, height);
        ASSERT_TRUE(frame_.CreateGraphic(nullptr, width, height));
        PatternGraphics = frame_.Graphics();
        frame_.ClearFrame(kClearAlphaOne);
    }
    void TearDown() override {
        Images.FreeAll();
        PatternGraphics = nullptr;
    }
    uint32_t At(int x, int y) {
        frame_.Graphics()->Flush(Gdiplus::FlushIntentionSync);
        return frame_.PixelAt(x, y);
    }
    LayeredFrame frame_;
};

struct PanelCase {
    int width, height, grid;
    int panelLeft, panelTop, panelSize;
};

class PanelImage : public ScreenFrame, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(PanelImage, HasRoundCornersDarkBodyAndWhiteDots) {
    const PanelCase c = GetParam();
    Start(c.width, c.height, c.grid);
    ASSERT_EQ(Layout.PanelOrigin().X, c.panelLeft);
    ASSERT_EQ(Layout.PanelOrigin().Y, c.panelTop);
    ASSERT_TRUE(Images.RebuildPanel(Layout, PatternGraphics));
    ASSERT_TRUE(Images.Draw(PatternGraphics, kSlotPanel, kDrawCachedBitmap, c.panelLeft, c.panelTop, 0, 0));
    const int x0 = c.panelLeft, y0 = c.panelTop, s = c.panelSize;
    // Body between the dots, and the straight edges just inside the panel.
    EXPECT_EQ(At(x0 + 67, y0 + 67), kPanelBlack);
    EXPECT_EQ(At(x0 + s / 2, y0), kPanelBlack);
    EXPECT_EQ(At(x0, y0 + s / 2), kPanelBlack);
    EXPECT_EQ(At(x0 + s - 1, y0 + s / 2), kPanelBlack);
    EXPECT_EQ(At(x0 + s / 2, y0 + s - 1), kPanelBlack);
    // Rounded corners: the very corner pixels stay as cleared, the arc is partly covered.
    for (const auto& corner : {std::pair{x0 + 1, y0 + 1}, std::pair{x0 + s - 2, y0 + 1},
                               std::pair{x0 + 1, y0 + s - 2}, std::pair{x0 + s - 2, y0 + s - 2}})
        EXPECT_EQ(At(corner.first, corner.second), kAlphaOne) << corner.first << "," << corner.second;
    EXPECT_EQ(At(x0 + 25, y0 + 25), kPanelBlack);
    // Every dot centre is two-thirds white over the panel; outside the panel nothing.
    for (int k = 1; k <= Layout.GridSide * Layout.GridSide; ++k) {
        const LayoutEntry& e = Layout.Point(k);
        EXPECT_TRUE(Near(At(e.Centre.X, e.Centre.Y), kDotOverPanel, 1)) << "point " << k << std::hex << " " << At(e.Centre.X, e.Centre.Y);
        EXPECT_EQ(At(e.Hit.Left - 3, e.Centre.Y), kPanelBlack) << "point " << k;  // left of the dot
    }
    EXPECT_EQ(At(x0 - 1, y0 + s / 2), kAlphaOne);
    EXPECT_EQ(At(x0 + s, y0 + s / 2), kAlphaOne);
    EXPECT_EQ(At(5, 5), kAlphaOne);
}

INSTANTIATE_TEST_SUITE_P(Screens, PanelImage,
                         ::testing::Values(PanelCase{1366, 768, 1, 525, 226, 316},
                                           PanelCase{1920, 1080, 0, 839, 419, 242},
                                           PanelCase{1366, 768, 2, 488, 189, 390}));

class Painters : public ScreenFrame {};

TEST_F(Painters, RingsHaveShadeWhiteCentreAndColouredRim) {
    Start(200, 100, 0);
    ASSERT_TRUE(Images.CreateRedRingImage(53, 53, kSlotRedRing, &Layout, false, PatternGraphics));
    ASSERT_TRUE(Images.CreateBlueRingImage(53, 53, kSlotBlueRing, &Layout, false, PatternGraphics));
    ASSERT_TRUE(Images.Draw(PatternGraphics, kSlotRedRing, kDrawCachedBitmap, 10, 10, 0, 0));
    ASSERT_TRUE(Images.Draw(PatternGraphics, kSlotBlueRing, kDrawCachedBitmap, 110, 10, 0, 0));
    EXPECT_EQ(At(10 + 26, 10 + 26), 0xFFFFFFFFu);    // centre: opaque white
    EXPECT_EQ(At(110 + 26, 10 + 26), 0xFFFFFFFFu);
    // Between rim and centre: the 0x77 black shade over alpha 1.
    EXPECT_TRUE(Near(At(10 + 26, 10 + 4), 0x77000000, 1)) << std::hex << At(36, 14);
    // The rim at the top of the circle.
    const uint32_t red = At(10 + 26, 10);
    const uint32_t blue = At(110 + 26, 10);
    EXPECT_GT(Red(red), 0x60u);
    EXPECT_LT(Blue(red), 0x10u);
    EXPECT_GT(Blue(blue), 0x60u);
    EXPECT_LT(Red(blue), 0x10u);
    EXPECT_EQ(At(10 + 1, 10 + 1), kAlphaOne);         // outside the circle
}

TEST_F(Painters, SmallRingsAreImagesOfTheirSize) {
    Start(100, 100, 0);
    ASSERT_TRUE(Images.CreateBlueRingImage(37, 37, kSlotSmallBlueRing, nullptr, true));
    Gdiplus::Image* image = Images.Image(kSlotSmallBlueRing);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 37u);
    EXPECT_EQ(Images.Cached(kSlotSmallBlueRing), nullptr);
    ASSERT_TRUE(Images.Draw(PatternGraphics, kSlotSmallBlueRing, kDrawScaledImage, 20, 20, 37, 37));
    EXPECT_EQ(At(20 + 18, 20 + 18), 0xFFFFFFFFu);  // inner circle of 24 at offset 6
    EXPECT_GT(Blue(At(20 + 18, 20)), 0x60u);
    // Asking for the cached kind of an image slot draws nothing.
    EXPECT_FALSE(Images.Draw(PatternGraphics, kSlotSmallBlueRing, kDrawCachedBitmap, 0, 0, 0, 0));
}

TEST_F(Painters, BoxesAreRoundedDarkRectangles) {
    Start(300, 100, 0);
    ASSERT_TRUE(Images.CreateBoxImage(5, 156, 48, kSlotIconBox, false, PatternGraphics));
    ASSERT_TRUE(Images.Draw(PatternGraphics, kSlotIconBox, kDrawCachedBitmap, 100, 20, 0, 0));
    EXPECT_EQ(At(100 + 78, 20), kPanelBlack);
    EXPECT_EQ(At(100, 20 + 24), kPanelBlack);
    EXPECT_EQ(At(100 + 155, 20 + 24), kPanelBlack);
    EXPECT_EQ(At(100 + 78, 20 + 47), kPanelBlack);
    EXPECT_LT(Alpha(At(100, 20)), 0x30u);          // the rounded corner, barely touched
    EXPECT_LT(Alpha(At(100 + 155, 20 + 47)), 0x30u);
    EXPECT_EQ(At(100 + 156, 20 + 24), kAlphaOne);
    EXPECT_EQ(At(99, 20 + 24), kAlphaOne);
}

TEST_F(Painters, ScaledPictureKeepsOpaqueEdges) {
    Start(100, 100, 0);
    auto source = NewGdiPlus<Gdiplus::Bitmap>(10, 10, PixelFormat32bppARGB);
    ASSERT_TRUE(source);
    {
        Gdiplus::Graphics g(source.get());
        g.Clear(Gdiplus::Color(0xFF20C040));
    }
    ASSERT_TRUE(Images.Render(90, 50, source.get(), kSlotBackground, false, true));
    Gdiplus::Image* image = Images.Image(kSlotBackground);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 90u);
    EXPECT_EQ(image->GetHeight(), 50u);
    ASSERT_TRUE(Images.Draw(PatternGraphics, kSlotBackground, kDrawScaledImage, 0, 0, 90, 50));
    for (const auto& p : {std::pair{0, 0}, std::pair{89, 49}, std::pair{45, 25}, std::pair{0, 49}})
        EXPECT_TRUE(Near(At(p.first, p.second), 0xFF20C040, 2)) << p.first << "," << p.second << std::hex
                                                                << " " << At(p.first, p.second);
    EXPECT_EQ(At(95, 25), kAlphaOne);
}

TEST_F(Painters, CachedSlotsNeedPatternGraphics) {
    Start(50, 50, 0);
    PatternGraphics = nullptr;
    EXPECT_FALSE(Images.CreateBoxImage(5, 20, 20, kSlotIconBox, false, PatternGraphics));
    EXPECT_EQ(Images.Cached(kSlotIconBox), nullptr);
    EXPECT_TRUE(Images.CreateBoxImage(5, 20, 20, kSlotIconBox, true));  // as image it needs none
}

TEST_F(Painters, SlotsOutOfRangeAreIgnored) {
    Start(50, 50, 0);
    Images.Free(-1);
    Images.Free(kImageSlots);
    EXPECT_FALSE(Images.CreateBoxImage(5, 20, 20, kImageSlots, true));
    EXPECT_FALSE(Images.Draw(PatternGraphics, 99, kDrawScaledImage, 0, 0, 10, 10));
    EXPECT_FALSE(Images.Draw(PatternGraphics, kSlotPanel, kDrawCachedBitmap, 0, 0, 0, 0));  // empty
    EXPECT_FALSE(Images.Draw(nullptr, kSlotPanel, kDrawCachedBitmap, 0, 0, 0, 0));
}

class PictureFiles : public ScreenFrame {
protected:
    std::string TempFile(const char* name, const std::string& bytes) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        const std::string path = std::string(folder) + name;
        std::ofstream(path, std::ios::binary) << bytes;
        files_.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const auto& path : files_) DeleteFileA(path.c_str());
        SetFixedText(Config.BackgroundImage, "");
        ScreenFrame::TearDown();
    }
    std::vector<std::string> files_;
};

TEST_F(PictureFiles, DecodesPngAndRejectsOtherBytes) {
    Start(50, 50, 0);
    const std::string png = MakePngBytes(7, 5, 0xFF0000FF);
    ASSERT_FALSE(png.empty());
    auto picture = DecodePicture(png.data(), png.size());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->GetWidth(), 7u);
    Gdiplus::Color colour;
    ASSERT_EQ(picture->GetPixel(3, 2, &colour), Gdiplus::Ok);
    EXPECT_EQ(colour.GetValue(), 0xFF0000FFu);
    EXPECT_FALSE(DecodePicture("not a picture", 13));
    EXPECT_FALSE(DecodePicture(png.data(), 20));  // cut short
    EXPECT_FALSE(DecodePicture(nullptr, 0));
    EXPECT_TRUE(LoadPictureFile(TempFile("orvo-draw-ok.png", png)));
    EXPECT_FALSE(LoadPictureFile(TempFile("orvo-draw-bad.png", "GIF89a garbage")));
    EXPECT_FALSE(LoadPictureFile("C:\\no such folder\\none.png"));
}

TEST_F(PictureFiles, BackgroundComesFromTheUsersFileScaledToTheScreen) {
    Start(64, 48, 0);
    SetFixedText(Config.BackgroundImage, TempFile("orvo-draw-bg.png", MakePngBytes(16, 12, 0xFF402010)));
    ASSERT_TRUE(Images.ReloadBackground(Config, TestSession().Model()));
    Gdiplus::Image* image = Images.Image(kSlotBackground);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 64u);
    EXPECT_EQ(image->GetHeight(), 48u);
}

TEST_F(PictureFiles, BackgroundMadeAsideIsTheSamePictureOnceTaken) {
    Start(64, 48, 0);
    SetFixedText(Config.BackgroundImage, TempFile("orvo-draw-aside.png", MakePngBytes(16, 12, 0xFF402010)));
    const uint32_t before = Images.ImageSerial(kSlotBackground);
    Images.Load(Config, TestSession().Model(), PatternGraphics, nullptr, BackgroundLoad::Aside);
    Gdiplus::Image* image = Images.Image(kSlotBackground);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(Images.ImageSerial(kSlotBackground), before);
    EXPECT_EQ(image->GetWidth(), 64u);
    Gdiplus::Color colour;
    ASSERT_EQ(static_cast<Gdiplus::Bitmap*>(image)->GetPixel(32, 24, &colour), Gdiplus::Ok);
    EXPECT_EQ(colour.GetValue(), 0xFF402010u);
    // A second start while the first may still run leaves one picture, the newer one.
    Images.Load(Config, TestSession().Model(), PatternGraphics, nullptr, BackgroundLoad::Aside);
    Images.FreeAll();
    EXPECT_EQ(Images.Image(kSlotBackground), nullptr);
}

TEST_F(PictureFiles, UnreadableBackgroundFileFallsBackToTheBuiltInPicture) {
    Start(64, 48, 0);
    SetFixedText(Config.BackgroundImage, TempFile("orvo-draw-notapicture.jpg", "plain text"));
    HMODULE resources = ProgramResources();
    Images.Load(Config, TestSession().Model(), PatternGraphics, resources);  // must not fail on the bad file
    if (!resources) {
        EXPECT_EQ(Images.Image(kSlotBackground), nullptr);
        GTEST_SKIP() << "OrvoPCLock.exe with the built-in pictures is not built";
    }
    Gdiplus::Image* image = Images.Image(kSlotBackground);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 64u);
}

TEST_F(PictureFiles, BuiltInPicturesFillTheirSlots) {
    Start(1366, 768, 1);
    HMODULE resources = ProgramResources();
    if (!resources) GTEST_SKIP() << "OrvoPCLock.exe with the built-in pictures is not built";
    Images.Load(Config, TestSession().Model(), PatternGraphics, resources);
    for (int slot : {kSlotPanel, kSlotBlueRing, kSlotRedRing, kSlotAlarmRed, kSlotAlarmBlue, kSlotIconBox,
                     kSlotInputBox})
        EXPECT_NE(Images.Cached(slot), nullptr) << "slot " << slot;
    for (int slot : {kSlotBackground, kSlotSmallBlueRing, kSlotSmallRedRing, kSlotKeyboardIcon,
                     kSlotPatternEnableIcon, kSlotPatternDisplayIcon})
        EXPECT_NE(Images.Image(slot), nullptr) << "slot " << slot;
    ASSERT_NE(Images.Image(kSlotKeyboardIcon), nullptr);
    EXPECT_EQ(Images.Image(kSlotKeyboardIcon)->GetWidth(), 32u);
}

}  // namespace
