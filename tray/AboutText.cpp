// Texts, hit test and link underlines of the about window.
#include "tray/AboutText.h"

#include "resources/version.h"
#include "ui/DpiScale.h"

std::string AboutText(const AppVersion& version, std::string_view legalNotice) {
    return std::string(ORVO_PRODUCT_NAME " ") + AppVersionText(version) + "\r\n\r\n" +
           "A Powerful Lock Computer Application\r\n\r\n" + std::string(legalNotice);
}

std::string AboutLinkCaption(int index) {
    switch (index) {
    case 0: return "Website: " ORVO_HOME_URL;
    case 1: return "Support: " ORVO_SUPPORT_EMAIL;
    default: return {};
    }
}

std::string AboutLinkTarget(int index) {
    switch (index) {
    case 0: return ORVO_HOME_URL;
    case 1: return "mailto:" ORVO_SUPPORT_EMAIL "?subject=Help";
    default: return {};
    }
}

AboutLayout ScaleAboutLayout(const AboutLayout& layout, int dpi) {
    auto scale = [dpi](const AboutBox& box) {
        const DpiRect r = ScaleRectToDpi(DpiRect{box.Left, box.Top, box.Width, box.Height}, dpi);
        return AboutBox{r.Left, r.Top, r.Width, r.Height};
    };
    AboutLayout scaled;
    scaled.Image1 = scale(layout.Image1);
    scaled.Image3 = scale(layout.Image3);
    scaled.Image2 = scale(layout.Image2);
    scaled.LabAbout = scale(layout.LabAbout);
    for (size_t i = 0; i < scaled.LabHome.size(); ++i) scaled.LabHome[i] = scale(layout.LabHome[i]);
    return scaled;
}

AboutTarget HitTestAbout(const AboutLayout& layout, int x, int y) {
    // Topmost first: the separator line lies over the grey band, the labels over nothing else.
    if (layout.Image2.Contains(x, y)) return AboutTarget::Picture;
    if (layout.LabHome[1].Contains(x, y)) return AboutTarget::Link1;
    if (layout.LabHome[0].Contains(x, y)) return AboutTarget::Link0;
    if (layout.LabAbout.Contains(x, y)) return AboutTarget::AboutLabel;
    if (layout.Image3.Contains(x, y) || layout.Image1.Contains(x, y)) return AboutTarget::Picture;
    return AboutTarget::Surface;
}

uint32_t AboutLinkState::OnMouseMove(AboutTarget target) {
    uint32_t changed = 0;
    auto set = [&](int link, bool underlined) {
        if (Underlined[static_cast<std::size_t>(link)] == underlined) return;
        Underlined[static_cast<std::size_t>(link)] = underlined;
        changed |= 1u << link;
    };
    switch (target) {
    case AboutTarget::Link0: set(0, true); break;
    case AboutTarget::Link1: set(1, true); break;
    case AboutTarget::Surface: set(0, false); set(1, false); break;
    case AboutTarget::AboutLabel:
    case AboutTarget::Picture: break;
    }
    return changed;
}
