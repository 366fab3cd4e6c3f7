// The "Reset Pattern" pane's canvas: it shows the stored pattern with the order of its points,
// takes a new pattern drawn once, and saves its picture as a bitmap file so a forgotten pattern
// can be looked up.
#include <string>

#include "configui/ConfigDialog.h"
#include "ui/SmallGridDrawing.h"
#include "system/Files.h"
#include "system/Messages.h"
#include "system/Text.h"

namespace {

std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

}  // namespace

void ConfigDialog::CreateGraphicFont(const wchar_t* strFont, int bytFontSize) {
    fontFamily_ = NewGdiPlus<Gdiplus::FontFamily>(strFont);
    // Without the family (a system lacking Arial) the numbers still appear in a font that
    // Windows and Wine always have.
    if (!fontFamily_) fontFamily_ = NewGdiPlus<Gdiplus::FontFamily>(L"Tahoma");
    if (fontFamily_) {
        font12_ = NewGdiPlus<Gdiplus::Font>(fontFamily_.get(), static_cast<Gdiplus::REAL>(bytFontSize),
                                            Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    }
    stringFormat_ = NewGdiPlus<Gdiplus::StringFormat>();
    if (stringFormat_) {
        stringFormat_->SetAlignment(Gdiplus::StringAlignmentCenter);
        stringFormat_->SetLineAlignment(Gdiplus::StringAlignmentCenter);
    }
    if (resetGraphics_) resetGraphics_->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
}

void ConfigDialog::DeleteGraphicFont() {
    stringFormat_.reset();
    font12_.reset();
    fontFamily_.reset();
    textBrush_.reset();
}

void ConfigDialog::DrawCanvasText(const std::string& strText, float x, float y, float tRight, float tBottom) {
    if (!resetGraphics_ || !font12_ || !stringFormat_) return;
    if (!textBrush_) textBrush_ = NewGdiPlus<Gdiplus::SolidBrush>(Gdiplus::Color(255, 0, 0, 0));
    if (!textBrush_) return;
    const std::wstring text = Widen(TrimBlanks(strText));
    const Gdiplus::RectF box(x, y, tRight, tBottom);
    resetGraphics_->DrawString(text.c_str(), static_cast<INT>(text.size()), font12_.get(), box, stringFormat_.get(),
                               textBrush_.get());
}

// Layers 1 and 2: white, and every point as a small blue ring.
void ConfigDialog::DrawEmptyGrid() {
    DrawSmallGrid(resetGraphics_.get(), images_, Layout(), GridSideOf(config_.Grid));
}

// Layers 3 and 4: the lines from each point to the next, then the red rings with the order
// numbers 1, 2, 3 ... on top, then the canvas shows the result.
void ConfigDialog::ShowSequence(const std::vector<int>& sequence) {
    if (resetGraphics_) {
        DrawSmallTrail(resetGraphics_.get(), images_, patternPen_.get(), Layout(), sequence,
                       [this](int position, const LayoutEntry& e) {
                           DrawCanvasText(std::to_string(position), static_cast<float>(e.Hit.Left), static_cast<float>(e.Hit.Top),
                                    kSmallRingSize, kSmallRingSize);
                       });
        resetGraphics_->Flush(Gdiplus::FlushIntentionSync);
    }
    picReset_.Refresh();
}

void ConfigDialog::ResetPattern() {
    DrawEmptyGrid();
    if (resetGraphics_) resetGraphics_->Flush(Gdiplus::FlushIntentionSync);
    picReset_.Refresh();
}

void ConfigDialog::ResetPatternNormal() {
    const int side = GridSideOf(config_.Grid);
    DrawEmptyGrid();
    ShowSequence(ShownSequence(config_.SecretPattern.data(), side * side, side));
    ShowDefaultPatternNote();
}

void ConfigDialog::ShowDefaultPatternNote() {
    if (HWND note = Control(kIdLblDefaultPattern)) ShowWindow(note, IsDefaultPattern(config_) ? SW_SHOWNA : SW_HIDE);
}

void ConfigDialog::ResetPatternAction() {
    const int side = GridSideOf(config_.Grid);
    const auto& slots = reset_.ResetPoints().Slots();
    const int count = std::min(side * side, static_cast<int>(slots.size()) - 1);
    DrawEmptyGrid();
    ShowSequence(ShownSequence(slots.data(), count, side));
}

// ---- entering a new pattern ----

void ConfigDialog::StartNewPattern(int /*button*/, int /*shift*/, int x, int y) {
    if (!reset_.IsResetting()) return;
    if (reset_.Press(HitTestSmallPoint(Layout(), x, y))) ResetPatternAction();
}

void ConfigDialog::ExtendNewPattern(int /*button*/, int /*shift*/, int x, int y) {
    if (!reset_.IsResetting() || !reset_.IsDrawing()) return;
    if (reset_.Move(HitTestSmallPoint(Layout(), x, y))) ResetPatternAction();
}

// The canvas is idle again before any message shows, so nothing the user does while a box is
// open can meet a half-finished entry.
void ConfigDialog::TakeNewPattern(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    std::vector<int32_t> points;
    switch (reset_.Release(points)) {
    case ResetOutcome::Accepted:
        StoreResetPattern(config_, points, GridSideOf(config_.Grid));
        ShowDefaultPatternNote();
        ShowConfigMessage(hwnd_, "Reset lock pattern OK, PLEASE REMEMBER YOUR PATTERN!", kAppTitle, MB_ICONINFORMATION);
        if (ShowConfigMessage(hwnd_, "Do you want to backup the lock pattern in case of you forgot your pattern?",
                              "Backup Pattern", MB_ICONQUESTION | MB_YESNO) == IDYES) {
            BackupPattern();
        }
        break;
    case ResetOutcome::Refused:
        ShowConfigMessage(hwnd_, "Reset lock pattern Error, Please reset!", kAppTitle, MB_ICONEXCLAMATION);
        ResetPatternNormal();
        break;
    case ResetOutcome::TooShort:
        ShowConfigMessage(hwnd_, "A lock pattern needs at least 4 points. Please reset!", kAppTitle, MB_ICONEXCLAMATION);
        ResetPatternNormal();
        break;
    case ResetOutcome::None:
        break;
    }
}

// ---- backup ----

// The file is replaced in one step, so a failed write leaves an existing backup intact; a
// failure is not reported.
void ConfigDialog::BackupPattern() {
    const std::string path = ShowFileDialog(hwnd_, true, "Orvo PC Lock - Backup Lock Pattern", "*.bmp|*.bmp",
                                            "OrvoPCLockPattern.bmp", "", "");
    if (path.empty()) return;
    if (FileExists(path) &&
        ShowConfigMessage(hwnd_, "The target file already exists. Are you sure to replace?", "Backup Pattern",
                          MB_ICONQUESTION | MB_YESNO) != IDYES) {
        return;
    }
    if (resetGraphics_) resetGraphics_->Flush(Gdiplus::FlushIntentionSync);
    const std::vector<uint8_t> file = EncodeBitmapFile(picReset_.Pixels(), picReset_.Width(), picReset_.Height());
    if (!file.empty()) ReplaceFileContents(path, file);
}
