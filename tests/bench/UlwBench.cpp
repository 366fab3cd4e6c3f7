// orvo_ulw_bench: the floor F of presenting one full-screen frame with UpdateLayeredWindow
// (per-pixel alpha, as every full-screen window of the program presents), measured on a
// layered window of the primary screen's size. Prints figures; never fails on slowness.
//   orvo_ulw_bench [frames]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "system/WinHandles.h"

namespace {

LRESULT CALLBACK BenchProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd, msg, wp, lp); }

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

void PrintFigures(const char* name, std::vector<double> values, int width, int height) {
    if (values.empty()) return;
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values) sum += v;
    std::printf("%s size=%dx%d frames=%zu median_ms=%.2f mean_ms=%.2f min_ms=%.2f max_ms=%.2f\n", name, width, height,
                values.size(), values[values.size() / 2], sum / values.size(), values.front(), values.back());
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : 60;
    if (frames < 5 || frames > 10000) frames = 60;
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BenchProc;
    wc.hInstance = instance;
    wc.lpszClassName = "OrvoUlwBench";
    RegisterClassA(&wc);
    UniqueHwnd window(CreateWindowExA(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "OrvoUlwBench", "", WS_POPUP,
                                      0, 0, width, height, nullptr, nullptr, instance, nullptr));
    if (!window) {
        std::fprintf(stderr, "error: no window (is there a display?)\n");
        return 1;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    WindowDc screen(nullptr);
    UniqueHdc memory(CreateCompatibleDC(screen.get()));
    UniqueHbitmap dib(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !dib || !bits) {
        std::fprintf(stderr, "error: no frame bitmap\n");
        return 1;
    }
    SelectGuard select(memory.get(), dib.get());
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    PumpPending();

    // Half-transparent dark frame with a lighter band (premultiplied), changed every frame so
    // nothing can be skipped as unchanged.
    auto* pixels = static_cast<uint32_t*>(bits);
    const size_t count = size_t(width) * size_t(height);
    SIZE size = {width, height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    LARGE_INTEGER frequency, t0, t1, t2;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> present, fill;
    for (int i = 0; i < frames + 5; ++i) {
        QueryPerformanceCounter(&t0);
        uint32_t shade = 0x80000000u | uint32_t((i * 3) & 0x7F);
        for (size_t p = 0; p < count; ++p) pixels[p] = shade;
        QueryPerformanceCounter(&t1);
        UpdateLayeredWindow(window.get(), nullptr, nullptr, &size, memory.get(), &source, 0, &blend, ULW_ALPHA);
        QueryPerformanceCounter(&t2);
        PumpPending();
        if (i < 5) continue;   // the first frames include one-time set-up in the display driver
        fill.push_back(Milliseconds(t0, t1, frequency));
        present.push_back(Milliseconds(t1, t2, frequency));
    }
    PrintFigures("ulw_frame", present, width, height);
    PrintFigures("fill_frame", fill, width, height);

    // The same frame presented through UpdateLayeredWindowIndirect with a dirty rectangle of
    // a lock panel's size (400 x 400) in the middle: where the display driver honours the
    // rectangle this costs a fraction of F, where it copies the whole frame anyway it costs F.
    RECT dirty = {width / 2 - 200, height / 2 - 200, width / 2 + 200, height / 2 + 200};
    UPDATELAYEREDWINDOWINFO ulw = {};
    ulw.cbSize = sizeof(ulw);
    ulw.psize = &size;
    ulw.hdcSrc = memory.get();
    ulw.pptSrc = &source;
    ulw.pblend = &blend;
    ulw.dwFlags = ULW_ALPHA;
    ulw.prcDirty = &dirty;
    std::vector<double> partial;
    for (int i = 0; i < frames + 5; ++i) {
        const uint32_t shade = 0x80000000u | uint32_t((i * 5) & 0x7F);
        for (int y = dirty.top; y < dirty.bottom; ++y)
            std::fill_n(pixels + size_t(height - 1 - y) * size_t(width) + dirty.left, dirty.right - dirty.left, shade);
        QueryPerformanceCounter(&t1);
        UpdateLayeredWindowIndirect(window.get(), &ulw);
        QueryPerformanceCounter(&t2);
        PumpPending();
        if (i < 5) continue;
        partial.push_back(Milliseconds(t1, t2, frequency));
    }
    PrintFigures("ulw_dirty_400", partial, width, height);

    // A layered window of the panel's size of its own, presented whole: what a lock window
    // no larger than its panel would pay for each drag step.
    constexpr int kPanel = 400;
    UniqueHwnd panel(CreateWindowExA(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "OrvoUlwBench", "", WS_POPUP,
                                     width / 2 - kPanel / 2, height / 2 - kPanel / 2, kPanel, kPanel, nullptr, nullptr,
                                     instance, nullptr));
    if (!panel) return 0;
    ShowWindow(panel.get(), SW_SHOWNOACTIVATE);
    PumpPending();
    SIZE panelSize = {kPanel, kPanel};
    POINT panelSource = {dirty.left, height - dirty.bottom};   // the same 400 x 400 of the bottom-up DIB
    std::vector<double> small;
    for (int i = 0; i < frames + 5; ++i) {
        const uint32_t shade = 0x80000000u | uint32_t((i * 7) & 0x7F);
        for (int y = dirty.top; y < dirty.bottom; ++y)
            std::fill_n(pixels + size_t(height - 1 - y) * size_t(width) + dirty.left, dirty.right - dirty.left, shade);
        QueryPerformanceCounter(&t1);
        UpdateLayeredWindow(panel.get(), nullptr, nullptr, &panelSize, memory.get(), &panelSource, 0, &blend, ULW_ALPHA);
        QueryPerformanceCounter(&t2);
        PumpPending();
        if (i < 5) continue;
        small.push_back(Milliseconds(t1, t2, frequency));
    }
    PrintFigures("ulw_panel_window_400", small, kPanel, kPanel);
    return 0;
}
