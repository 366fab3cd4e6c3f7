// The about window's texts and the parts of its surface the pointer can be over: the about text,
// the two links with their targets, the hit test and the links' underline state. Pure: no
// platform headers, unit-tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "system/StartupText.h"

inline constexpr char kAboutCaption[] = "About Orvo PC Lock";
inline constexpr int kAboutClientWidth = 443;
inline constexpr int kAboutClientHeight = 267;
inline constexpr int kAboutLinkCount = 2;   // LabHome(0) the home page, LabHome(1) the support mail

// Version line, blank line, description, blank line, legal notice; lines end in CR LF.
std::string AboutText(const AppVersion& version, std::string_view legalNotice);

// "Website: " / "Support: " followed by the address; "" for another index.
std::string AboutLinkCaption(int index);
// What ShellExecute opens for the link: the home page, or a new mail with the subject "Help".
std::string AboutLinkTarget(int index);

// A rectangle in client pixels; right and bottom edges are outside.
struct AboutBox {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool Contains(int x, int y) const { return x >= Left && x < Left + Width && y >= Top && y < Top + Height; }
};

// The pictures and labels as they lie on the window; the labels take the size of their text.
struct AboutLayout {
    AboutBox Image1{5, 6, 128, 128};
    AboutBox Image3{7, 144, 128, 64};
    AboutBox Image2{0, 228, 442, 3};
    AboutBox LabAbout{149, 20, 0, 0};
    std::array<AboutBox, kAboutLinkCount> LabHome{AboutBox{150, 159, 0, 0}, AboutBox{150, 183, 0, 0}};
};

// The layout at dpi: the pictures' boxes and the labels' places scaled from their 96-DPI ones;
// the labels' sizes are left for the text measured in the font of that DPI.
AboutLayout ScaleAboutLayout(const AboutLayout& layout, int dpi);

// What the pointer is over. Pictures and the about text keep the pointer's moves to themselves,
// as the links do; only the bare surface (the grey band included) belongs to the window.
enum class AboutTarget { Surface, Link0, Link1, AboutLabel, Picture };
AboutTarget HitTestAbout(const AboutLayout& layout, int x, int y);

// Which links are underlined. A move onto a link underlines it, a move over the bare surface
// takes the underline off both, other moves change nothing. Returns a bit per link whose state
// changed (bit 0 link 0, bit 1 link 1), so only those are drawn again.
struct AboutLinkState {
    std::array<bool, kAboutLinkCount> Underlined{};
    uint32_t OnMouseMove(AboutTarget target);
};
