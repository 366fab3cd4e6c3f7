// The about window: the product's pictures, name and version, description and legal notice, and
// two links (home page, support mail) that underline under the pointer. Modeless, one at a time.
#pragma once

#include <windows.h>

#include <string>

#include "ui/GdiPlusHandles.h"
#include "system/WinHandles.h"
#include "tray/AboutText.h"

inline constexpr char kAboutWindowClass[] = "OrvoAboutForm";
inline constexpr int kAboutCommand1Id = IDOK;

class FrmAbout {
public:
    FrmAbout() = default;
    FrmAbout(const FrmAbout&) = delete;
    FrmAbout& operator=(const FrmAbout&) = delete;
    ~FrmAbout();

    // The window, hidden, with pictures and cursor from `resources` (the program when null) and
    // the about text read from the version resource of `versionFile`.
    bool Create(HINSTANCE instance, HMODULE resources, const std::string& versionFile);
    void Close();
    HWND Hwnd() const { return hwnd_; }
    HWND Command1() const { return command1_; }

    const std::string& AboutCaption() const { return aboutText_; }
    const AboutLayout& Layout() const { return layout_; }
    const AboutLinkState& Links() const { return links_; }
    HCURSOR HandCursor() const { return hand_; }

    // Paints the client area into a device context (WM_PAINT, and tests reading pixels).
    void Form_Paint(HDC dc) const;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Form_Load();
    void Form_Unload();
    void Form_MouseMove();
    void Form_MouseMove(int x, int y);
    void LabHome_MouseMove(int index);
    void LabHome_Click(int index);
    void Command1_Click();
    void MouseDown(int x, int y);
    void MouseUp(int x, int y);
    bool OnSetCursor();
    void ApplyUnderlineChanges(uint32_t changed);
    void MeasureLabels();
    void CreateGDI();
    void ReleaseGDI();

    HMODULE resources_ = nullptr;
    std::string versionFile_;
    std::string aboutText_;
    AboutLayout layout_;
    AboutLinkState links_;
    int pressedLink_ = -1;

    UniqueHfont font_;
    UniqueHfont linkFont_;          // the same, underlined
    UniqueHbitmap image1_;
    GdiPlusPtr<Gdiplus::Bitmap> image3_;
    HCURSOR hand_ = nullptr;        // loaded shared: never destroyed
    HWND command1_ = nullptr;
    HWND hwnd_ = nullptr;
};

// Shows the one about window, or brings it forward when it is open.
void ShowAboutWindow();
// The same with pictures from another module and the version of another file (tests).
void ShowAboutWindow(HMODULE resources, const std::string& versionFile);
void CloseAboutWindow();
FrmAbout* AboutWindowInstance();   // null when none was shown or after CloseAboutWindow
