// The pattern canvas driven with the pointer messages a user's drag produces: which entries it
// takes, the messages, the stored pattern, the picture it shows and the backup file it writes.
#include <gtest/gtest.h>

#include "ui/GdiPlusHandles.h"
#include "support/ConfigTestSupport.h"
#include "system/Text.h"
#include "support/SessionSupport.h"

using namespace configtest;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kLineBlue = 0x003FFF;

ResetPatternState ResetStateOf(HWND dialog) {
    const ConfigDialog* config = TestSession().ConfigDialogObject();
    EXPECT_TRUE(config && config->Hwnd() == dialog);
    return config ? config->ResetState() : ResetPatternState{};
}

class PatternCanvas : public ConfigDialogFixture {
protected:
    HWND OpenReady() {
        HWND dialog = Open();
        canvas_ = FindControl(dialog, kIdPicReset);
        EXPECT_NE(canvas_, nullptr);
        Click(dialog, kIdCmdResetPattern);
        return dialog;
    }
    POINT Centre(int point) const {
        const LayoutEntry& e = Layout.SmallPoint(point);
        return {e.Centre.X, e.Centre.Y};
    }
    void Post(UINT msg, WPARAM keys, POINT at) {
        PostMessageA(canvas_, msg, keys, MAKELPARAM(at.x, at.y));
    }
    // Press on the first point, move over the others, release on the last; then let it run.
    void Drag(std::initializer_list<int> points) {
        const int first = *points.begin();
        Post(WM_LBUTTONDOWN, MK_LBUTTON, Centre(first));
        int last = first;
        for (int p : points) {
            Post(WM_MOUSEMOVE, MK_LBUTTON, Centre(p));
            last = p;
        }
        Post(WM_LBUTTONUP, 0, Centre(last));
        Pump();
    }
    uint32_t CanvasPixel(int x, int y) {
        int width = 0, height = 0;
        const std::vector<uint32_t> pixels = BoxPixels(dialog_, kIdPicReset, width, height);
        if (width != 322 || height != 322) return 0xDEADBEEF;
        return pixels[static_cast<size_t>(y) * width + x];
    }
    uint32_t Midway(int a, int b) {
        const POINT pa = Centre(a), pb = Centre(b);
        return CanvasPixel((pa.x + pb.x) / 2, (pa.y + pb.y) / 2);
    }
    std::vector<int32_t> Stored(int count) const {
        return std::vector<int32_t>(Config.SecretPattern.begin() + 1, Config.SecretPattern.begin() + 1 + count);
    }
    HWND canvas_ = nullptr;
};

TEST_F(PatternCanvas, FourPointDragIsAcceptedAndShownNumbered) {
    HWND dialog = OpenReady();
    Recorded().MessageAnswers = {IDOK, IDNO};
    Drag({1, 2, 3, 6});
    ASSERT_EQ(Recorded().Messages.size(), 2u);
    EXPECT_EQ(Recorded().Messages[0].Text, "Reset lock pattern OK, PLEASE REMEMBER YOUR PATTERN!");
    EXPECT_EQ(Recorded().Messages[0].Caption, "Orvo PC Lock");
    EXPECT_EQ(Recorded().Messages[0].Flags & MB_ICONMASK, static_cast<uint32_t>(MB_ICONINFORMATION));
    EXPECT_EQ(Recorded().Messages[1].Text,
              "Do you want to backup the lock pattern in case of you forgot your pattern?");
    EXPECT_EQ(Recorded().Messages[1].Caption, "Backup Pattern");
    EXPECT_EQ(Recorded().Messages[1].Flags & (MB_ICONMASK | MB_TYPEMASK),
              static_cast<uint32_t>(MB_ICONQUESTION | MB_YESNO));
    EXPECT_TRUE(Recorded().FileDialogs.empty()) << "No: no backup";
    EXPECT_EQ(Stored(9), (std::vector<int32_t>{1, 2, 3, 6, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(dialog == nullptr);
    // Blue line between 1 and 2, none between 4 and 5; a black digit inside each red ring.
    EXPECT_EQ(Midway(1, 2), kLineBlue);
    EXPECT_EQ(Midway(4, 5), kWhite);
    const POINT c1 = Centre(1);
    int dark = 0;
    for (int dy = -6; dy <= 6; ++dy) {
        for (int dx = -6; dx <= 6; ++dx) dark += (CanvasPixel(c1.x + dx, c1.y + dy) & 0xFF) < 0x40;
    }
    EXPECT_GT(dark, 4) << "the number 1 is drawn on point 1";
    EXPECT_FALSE(ResetStateOf(dialog).IsResetting());
}

TEST_F(PatternCanvas, SinglePointOnThreeByThreeIsRefused) {
    OpenReady();
    const std::vector<int32_t> before = Stored(9);
    Drag({5});
    ASSERT_EQ(Recorded().Messages.size(), 1u);
    EXPECT_EQ(Recorded().Messages[0].Text, "Reset lock pattern Error, Please reset!");
    EXPECT_EQ(Recorded().Messages[0].Caption, "Orvo PC Lock");
    EXPECT_EQ(Recorded().Messages[0].Flags & MB_ICONMASK, static_cast<uint32_t>(MB_ICONEXCLAMATION));
    EXPECT_EQ(Stored(9), before);
    // The canvas shows the stored pattern again: its first line is there.
    const std::vector<int> shown = ShownSequence(Config.SecretPattern.data(), 9, 3);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(Midway(shown[0], shown[1]), kLineBlue);
}

TEST_F(PatternCanvas, PatternEndingOnTwelveOnFourByFourIsAccepted) {
    HWND dialog = Open();
    PickListEntry(dialog, kIdCombGrid, 1);
    canvas_ = FindControl(dialog, kIdPicReset);
    Click(dialog, kIdCmdResetPattern);
    Recorded().Messages.clear();
    Recorded().MessageAnswers = {IDOK, IDNO};
    Drag({9, 10, 11, 12});
    ASSERT_EQ(Recorded().Messages.size(), 2u);
    EXPECT_EQ(Recorded().Messages[0].Text, "Reset lock pattern OK, PLEASE REMEMBER YOUR PATTERN!");
    EXPECT_EQ(Stored(16), (std::vector<int32_t>{9, 10, 11, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PatternCanvas, DraggingBackOverAPointAddsNothing) {
    OpenReady();
    Recorded().MessageAnswers = {IDOK, IDNO};
    Drag({1, 2, 1, 3, 2, 6, 5});
    EXPECT_EQ(Stored(9), (std::vector<int32_t>{1, 2, 3, 6, 5, 0, 0, 0, 0}));
}

TEST_F(PatternCanvas, PressBetweenPointsStartsNothing) {
    HWND dialog = OpenReady();
    const POINT a = Centre(1), b = Centre(2);
    const POINT between{(a.x + b.x) / 2, a.y};
    Post(WM_LBUTTONDOWN, MK_LBUTTON, between);
    Post(WM_MOUSEMOVE, MK_LBUTTON, b);
    Post(WM_LBUTTONUP, 0, b);
    Pump();
    EXPECT_TRUE(Recorded().Messages.empty());
    EXPECT_TRUE(ResetStateOf(dialog).IsResetting()) << "still ready";
    EXPECT_EQ(Midway(1, 2), kWhite) << "the empty grid";
}

TEST_F(PatternCanvas, MouseIsIgnoredUntilResetPatternIsClicked) {
    HWND dialog = Open();
    canvas_ = FindControl(dialog, kIdPicReset);
    const std::vector<int32_t> before = Stored(9);
    Drag({1, 2, 3});
    EXPECT_TRUE(Recorded().Messages.empty());
    EXPECT_EQ(Stored(9), before);
}

TEST_F(PatternCanvas, DamagedStoredPatternDrawsOnlyRealPoints) {
    Config.SecretPattern.fill(0);
    Config.SecretPattern[1] = 50;
    Config.SecretPattern[2] = 1;
    Config.SecretPattern[3] = -7;
    Config.SecretPattern[4] = 2;
    Config.SecretPattern[5] = 2000000000;
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Midway(1, 2), kLineBlue);
    EXPECT_EQ(Midway(2, 5), kWhite);
}

class PatternBackup : public PatternCanvas {
protected:
    std::string target() const { return folder_ + "backup.bmp"; }
    // Decodes the file with GDI+ and compares it with the canvas pixel by pixel.
    void ExpectFileShowsTheCanvas() {
        int width = 0, height = 0;
        const std::vector<uint32_t> canvas = BoxPixels(dialog_, kIdPicReset, width, height);
        const std::string path = target();
        const std::wstring wide(path.begin(), path.end());
        auto bitmap = NewGdiPlus<Gdiplus::Bitmap>(wide.c_str());
        ASSERT_TRUE(bitmap) << "a readable bitmap";
        ASSERT_EQ(bitmap->GetWidth(), 322u);
        ASSERT_EQ(bitmap->GetHeight(), 322u);
        int differing = 0;
        for (int y = 0; y < 322; y += 3) {
            for (int x = 0; x < 322; x += 3) {
                Gdiplus::Color c;
                bitmap->GetPixel(x, y, &c);
                differing += (c.GetValue() & 0xFFFFFF) != canvas[static_cast<size_t>(y) * 322 + x];
            }
        }
        EXPECT_EQ(differing, 0);
    }
};

TEST_F(PatternBackup, YesAfterAcceptingWritesTheCanvas) {
    OpenReady();
    Recorded().MessageAnswers = {IDOK, IDYES};
    Recorded().FileAnswers.push_back(target());
    Drag({3, 5, 7, 8});
    ASSERT_EQ(Recorded().FileDialogs.size(), 1u);
    const FileDialogCall& call = Recorded().FileDialogs[0];
    EXPECT_TRUE(call.IsSave);
    EXPECT_EQ(call.Title, "Orvo PC Lock - Backup Lock Pattern");
    EXPECT_EQ(call.Filter, std::string("*.bmp\0*.bmp\0\0", 13));
    EXPECT_EQ(call.DefaultName, "OrvoPCLockPattern.bmp");
    EXPECT_EQ(call.Flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_PATHMUSTEXIST));
    ExpectFileShowsTheCanvas();
    EXPECT_EQ(Midway(3, 5), kLineBlue);
}

TEST_F(PatternBackup, BackupRightAfterResetShowsTheStoredPattern) {
    HWND dialog = OpenReady();
    Recorded().FileAnswers.push_back(target());
    Click(dialog, kIdCmdBackupPattern);
    EXPECT_FALSE(ResetStateOf(dialog).IsResetting());
    const std::vector<int> shown = ShownSequence(Config.SecretPattern.data(), 9, 3);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(Midway(shown[0], shown[1]), kLineBlue) << "not the empty grid";
    ExpectFileShowsTheCanvas();
}

TEST_F(PatternBackup, ReplaceQuestionGuardsAnExistingFile) {
    HWND dialog = Open();
    ASSERT_TRUE(WriteWholeFile(target(), "keep me"));
    Recorded().FileAnswers = {target(), target()};
    Recorded().MessageAnswers = {IDNO, IDYES};
    Click(dialog, kIdCmdBackupPattern);
    ASSERT_EQ(Recorded().Messages.size(), 1u);
    EXPECT_EQ(Recorded().Messages[0].Text, "The target file already exists. Are you sure to replace?");
    EXPECT_EQ(Recorded().Messages[0].Caption, "Backup Pattern");
    EXPECT_EQ(Recorded().Messages[0].Flags & (MB_ICONMASK | MB_TYPEMASK),
              static_cast<uint32_t>(MB_ICONQUESTION | MB_YESNO));
    EXPECT_EQ(ReadWholeFile(target()), "keep me");
    Click(dialog, kIdCmdBackupPattern);
    EXPECT_EQ(Recorded().Messages.size(), 2u);
    ExpectFileShowsTheCanvas();
}

TEST_F(PatternBackup, CancelledSaveDialogWritesNothing) {
    HWND dialog = Open();
    Recorded().FileAnswers.push_back("");
    Click(dialog, kIdCmdBackupPattern);
    EXPECT_EQ(Recorded().FileDialogs.size(), 1u);
    EXPECT_TRUE(Recorded().Messages.empty());
    EXPECT_EQ(GetFileAttributesA(target().c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
