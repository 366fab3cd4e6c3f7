// The about window: the product's pictures, name and version, description and legal notice, and
// two links (home page, support mail) that underline under the pointer. Modeless, one at a time.
#pragma once

#include <windows.h>

#include <string>

#include "ui/GdiPlusHandles.h"
#include "system/WinHandles.h"
#include "tray/AboutText.h"
#include "ui/Window.h"

inline constexpr char kAboutWindowClass[] = "OrvoAboutForm";
inline constexpr int kAboutOkId = IDOK;

class AboutWindow : public Window<AboutWindow> {
public:
    AboutWindow() = default;
    ~AboutWindow();

    // Makes and shows the window, with pictures and cursor from `resources` (the program when
    // null) and the about text read from the version resource of `versionFile`.
    bool Create(HINSTANCE instance, HMODULE resources, const std::string& versionFile);
    HWND OkButton() const { return ok_; }

    const std::string& AboutCaption() const { return aboutText_; }
    const AboutLayout& Layout() const { return layout_; }
    const AboutLinkState& Links() const { return links_; }
    HCURSOR HandCursor() const { return hand_; }

    // Paints the client area into a device context (WM_PAINT, and tests reading pixels).
    void Paint(HDC dc) const;

private:
    friend class Window<AboutWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateContents();
    void ReleaseContents();
    void UnderlineLinkUnderPointer(int x, int y);
    void PressLink(int x, int y);
    void OpenLinkReleasedOn(int x, int y);
    void OpenLink(int index);
    bool ShowHandOverLink();
    void ApplyUnderlineChanges(uint32_t changed);
    void MeasureLabels();
    void LayOut();
    void LoadArtwork();
    void ReleaseArtwork();

    HMODULE resources_ = nullptr;
    std::string versionFile_;
    std::string aboutText_;
    AboutLayout layout_;
    int dpi_ = 96;
    AboutLinkState links_;
    int pressedLink_ = -1;

    UniqueHfont font_;
    UniqueHfont linkFont_;          // the same, underlined
    UniqueHbitmap image1_;
    GdiPlusPtr<Gdiplus::Bitmap> image3_;
    HCURSOR hand_ = nullptr;        // loaded shared: never destroyed
    HWND ok_ = nullptr;
};
