// The verify dialog that guards the configuration dialog: the user draws the secret pattern in
// a small grid; a right pattern closes it and opens the configuration dialog, a wrong one only
// clears the grid. There is no limit on attempts and nothing is counted.
#pragma once

#include <windows.h>

#include "core/PatternGrid.h"
#include "system/WinHandles.h"
#include "ui/GdiPlusHandles.h"
#include "ui/PictureBox.h"

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

// Shows the verify dialog without waiting (or brings the open one forward); a right pattern
// opens the configuration dialog.
void ShowVerifyDialog();
// Closes it when it is open; for the program's exit.
void CloseVerifyDialog();
HWND VerifyDialogHwnd();
class FrmVerify;
const FrmVerify* VerifyDialogInstance();   // null when closed
// Tab, Enter and Esc for the program's message loop; true when the message was used.
bool IsVerifyDialogMessage(MSG* msg);

class FrmVerify {
public:
    FrmVerify() = default;
    FrmVerify(const FrmVerify&) = delete;
    FrmVerify& operator=(const FrmVerify&) = delete;
    ~FrmVerify();

    bool Create(HINSTANCE instance);
    HWND Hwnd() const { return hwnd_; }

    void IniConfigData();
    void CreateGDI();
    void ReleaseGDI();
    void VerifyPatternNormal();
    void VerifyPatternAction();
    void CheckSecretPattern();
    const PatternEntry& Entered() const { return drag_.Entry(); }
    bool IsDrawing() const { return drag_.IsDrawing(); }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static bool RegisterWindowClass(HINSTANCE instance);
    void CreateControls();
    void Form_Load();
    void Form_Unload();
    void PicVerify_MouseDown(int x, int y);
    void PicVerify_MouseMove(int x, int y);
    void PicVerify_MouseUp();
    void CmdCancel_Click();
    void OnVerified();
    void DrawGrid();

    HWND hwnd_ = nullptr;
    UniqueHfont font_;
    PictureBox picVerify_;
    PatternDrag drag_;    // the entered sequence, IsDrawing and LastHotItem
    GdiPlusPtr<Gdiplus::Graphics> verifyGraphics_;
    GdiPlusPtr<Gdiplus::Pen> pen_;
};
