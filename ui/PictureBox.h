// A child window that keeps what is drawn on it in a persistent image: callers draw into its
// memory DC (directly or through GDI+), Refresh shows it, the picture survives being covered,
// and the pixels can be read back, for example to save them as a bitmap file. A box sized larger
// than its image (display scaling) shows the image stretched and reports the pointer in image pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "system/WinHandles.h"
#include "ui/Window.h"

inline constexpr char kPictureBoxClassName[] = "OrvoPictureBox";

class PictureBox : public Window<PictureBox> {
public:
    // button: MK_LBUTTON / MK_RBUTTON / MK_MBUTTON of the button concerned; shift: MK_SHIFT and
    // MK_CONTROL of the key state.
    using MouseHandler = std::function<void(int button, int shift, int x, int y)>;

    PictureBox() = default;
    ~PictureBox();

    // A visible white child of the given inner size; false when the window or its image could
    // not be made (the box then draws nothing and ignores the pointer).
    bool Create(HWND parent, int id, int x, int y, int width, int height);
    static PictureBox* FromHwnd(HWND hwnd);
    HDC Dc() const { return memDc_.get(); }     // the persistent image's DC, or null
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Refresh();                             // show the persistent image now
    // Top-down rows of 0x00RRGGBB pixels; empty when the image does not exist.
    std::vector<uint32_t> Pixels() const;

    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;

private:
    friend class Window<PictureBox>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Paint();
    void Picture_Mouse(UINT msg, WPARAM wp, LPARAM lp);
    POINT ToImage(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    // The DC, then the DIB, then the guard: the guard puts the DC's own bitmap back before
    // the DIB is deleted.
    UniqueHdc memDc_;
    UniqueHbitmap dib_;
    std::unique_ptr<SelectGuard> select_;
    void* bits_ = nullptr;
};
