// The verify dialog that guards the configuration dialog: the user draws the secret pattern in
// a small grid; a right pattern closes it and opens the configuration dialog, a wrong one only
// clears the grid. There is no limit on attempts and nothing is counted.
#pragma once

#include <windows.h>

#include "core/PatternGrid.h"
#include "system/WinHandles.h"
#include "ui/GdiPlusHandles.h"
#include "ui/LockRoles.h"
#include "ui/PictureBox.h"
#include "ui/WindowDpi.h"
#include "ui/Window.h"

struct ConfigData;
class ImageTable;

enum VerifyControlId : int {
    kIdVerifyLabel1 = 200,
    kIdPicVerify = 201,
    kIdCmdCancel = IDCANCEL,   // Esc cancels like the button
};

inline constexpr char kVerifyCaption[] = "Orvo PC Lock - Verify User";
inline constexpr char kVerifyClassName[] = "OrvoVerifyDialog";
constexpr int kVerifyClientWidth = 356;
constexpr int kVerifyClientHeight = 405;
constexpr DWORD kVerifyCheckDelayMs = 500;


class VerifyDialog : public Window<VerifyDialog> {
public:
    // The pattern is checked against `config`; the grid and the point letters come from the lock
    // screen's model; a right pattern opens the configuration dialog through `windows`.
    VerifyDialog(const ConfigData& config, ImageTable& images, const LockScreenSettings& settings,
                 WindowDirectory& windows)
        : config_(config), images_(images), settings_(settings), windows_(windows) {}
    VerifyDialog(const VerifyDialog&) = delete;
    VerifyDialog& operator=(const VerifyDialog&) = delete;
    ~VerifyDialog();

    // Makes and shows the dialog with an empty grid.
    bool Create(HINSTANCE instance);

    const PatternEntry& Entered() const { return drag_.Entry(); }
    bool IsDrawing() const { return drag_.IsDrawing(); }

private:
    friend class Window<VerifyDialog>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    static bool RegisterVerifyClass(HINSTANCE instance);
    void CreateControls();
    HWND AddControl(const char* className, const char* text, DWORD style, int id, const DpiRect& rect96);
    void OnDpiChanged(int dpi);
    void CreatePens();
    void ReleasePensAndPages();
    void StartEntry(int x, int y);
    void ExtendEntry(int x, int y);
    void CheckEntryAfterPause();
    void CheckSecretPattern();
    void OpenConfiguration();
    void DrawEmptyGrid();
    void DrawEntry();
    void DrawGrid();
    const GridLayout& Layout() const { return settings_.Model().Layout; }
    int PointCount() const { return Layout().GridSide * Layout().GridSide; }

    const ConfigData& config_;
    ImageTable& images_;   // the small rings
    const LockScreenSettings& settings_;
    WindowDirectory& windows_;
    ScaledLayout layout_;
    UniqueHfont font_;
    PictureBox picVerify_;
    PatternDrag drag_;    // the entered sequence, IsDrawing and LastHotItem
    GdiPlusPtr<Gdiplus::Graphics> verifyGraphics_;
    GdiPlusPtr<Gdiplus::Pen> pen_;
};
