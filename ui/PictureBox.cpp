// The picture box with a persistent image: a 32-bit top-down DIB section selected into a memory
// DC for the whole life of the window; WM_PAINT only copies it to the screen.
#include "ui/PictureBox.h"

#include <windowsx.h>

#include <cstring>

#include "ui/WindowClass.h"

PictureBox::~PictureBox() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool PictureBox::Create(HWND parent, int id, int x, int y, int width, int height) {
    if (hwnd_ || !parent || width <= 0 || height <= 0) return false;
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
    if (!instance) instance = GetModuleHandleA(nullptr);   // a parent made without one
    WNDCLASSEXA wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kPictureBoxClassName;
    if (!RegisterWindowClass(wc)) return false;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down, so row 0 of the bits is the top row
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    {
        WindowDc screen(nullptr);
        memDc_.reset(CreateCompatibleDC(screen.get()));
    }
    if (!memDc_) return false;
    dib_.reset(CreateDIBSection(memDc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (!dib_ || !bits_) {
        memDc_.reset();
        bits_ = nullptr;
        return false;
    }
    select_ = std::make_unique<SelectGuard>(memDc_.get(), dib_.get());
    width_ = width;
    height_ = height;
    std::memset(bits_, 0xFF, static_cast<size_t>(width) * height * 4);   // starts white

    hwnd_ = CreateWindowExA(0, kPictureBoxClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, width, height,
                            parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

PictureBox* PictureBox::FromHwnd(HWND hwnd) { return ObjectOf(hwnd, kPictureBoxClassName); }

LRESULT PictureBox::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:      Paint(); return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        Picture_Mouse(msg, wp, lp);
        return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void PictureBox::Refresh() {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
}

void PictureBox::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    if (!dc) return;
    if (memDc_) {
        GdiFlush();   // GDI+ may still hold drawing on the memory DC in its batch
        RECT client{};
        if (!GetClientRect(hwnd_, &client) || (client.right == width_ && client.bottom == height_)) {
            BitBlt(dc, 0, 0, width_, height_, memDc_.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);   // HALFTONE wants the origin set after the mode
            StretchBlt(dc, 0, 0, client.right, client.bottom, memDc_.get(), 0, 0, width_, height_, SRCCOPY);
        }
    }
    EndPaint(hwnd_, &ps);
}

// The pointer is captured from a press until the last button is up, so a drag that leaves the
// box still ends with a release here, as a picture box does.
void PictureBox::Picture_Mouse(UINT msg, WPARAM wp, LPARAM lp) {
    const POINT at = ToImage(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    const int x = at.x;
    const int y = at.y;
    const int keys = GET_KEYSTATE_WPARAM(wp);
    const int shift = keys & (MK_SHIFT | MK_CONTROL);
    int button = 0;
    switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: button = MK_LBUTTON; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: button = MK_RBUTTON; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: button = MK_MBUTTON; break;
    default: button = keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON); break;
    }
    switch (msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        SetCapture(hwnd_);
        if (OnMouseDown) OnMouseDown(button, shift, x, y);
        break;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && GetCapture() == hwnd_) ReleaseCapture();
        if (OnMouseUp) OnMouseUp(button, shift, x, y);
        break;
    default:
        if (OnMouseMove) OnMouseMove(button, shift, x, y);
        break;
    }
}

// The box may be shown larger than its image (display scaling): the handlers get the pixel of the
// image under the pointer, so what is hit is what is drawn there.
POINT PictureBox::ToImage(int x, int y) const {
    RECT client{};
    if (!GetClientRect(hwnd_, &client) || client.right <= 0 || client.bottom <= 0 ||
        (client.right == width_ && client.bottom == height_)) {
        return {x, y};
    }
    return {MulDiv(x, width_, client.right), MulDiv(y, height_, client.bottom)};
}

std::vector<uint32_t> PictureBox::Pixels() const {
    if (!bits_) return {};
    GdiFlush();
    const auto* first = static_cast<const uint32_t*>(bits_);
    std::vector<uint32_t> pixels(first, first + static_cast<size_t>(width_) * height_);
    for (uint32_t& p : pixels) p &= 0x00FFFFFFu;   // GDI leaves the top byte undefined
    return pixels;
}
