// The tool's window: a fixed, dialog-like frame with the buttons "Fix Troubles",
// "Enable Autolock in Safe Mode" and "Disable Autolock in Safe Mode"; each runs its job and
// the window stays open.
#include "tool/ToolWindow.h"

#include "resources/resource.h"
#include "ui/SingleWindow.h"
#include "tool/ToolActions.h"

namespace {

constexpr int kCmdFirstId = 100;
constexpr int kButtonWidth = 260;
constexpr int kButtonHeight = 32;
constexpr int kMargin = 14;
constexpr int kGap = 10;
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr std::array<const char*, 3> kCaptions = {
    "Fix Troubles", "Enable Autolock in Safe Mode", "Disable Autolock in Safe Mode"};

void DescribeFrameClass(HINSTANCE instance, WNDCLASSEXA& wc) {
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    // The program's icon in the caption and on the taskbar, each at its own size.
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
    wc.lpszClassName = kToolWindowClass;
}

// The client area gives room for the stacked buttons.
constexpr int kClientWidth = kButtonWidth + 2 * kMargin;
constexpr int kClientHeight = 3 * kButtonHeight + 2 * kGap + 2 * kMargin;

// The stock GUI font is the buttons' font, made for the DPI the system started with; on a
// monitor of another DPI the buttons get a copy of it scaled. Null when the stock font fits the
// DPI or the copy cannot be made: the stock font then stays.
UniqueHfont ScaledGuiFont(int dpi) {
    int systemDpi = kDefaultDpi;
    if (WindowDc screen(nullptr); screen.get()) systemDpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    LOGFONTA lf{};
    if (dpi == systemDpi || systemDpi <= 0 || !GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) {
        return nullptr;
    }
    lf.lfHeight = MulDiv(lf.lfHeight, dpi, systemDpi);
    lf.lfWidth = 0;
    return UniqueHfont(CreateFontIndirectA(&lf));
}
}  // namespace

// Only for a window that never finished being made: a shown one takes the object with it.
ToolWindow::~ToolWindow() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool ToolWindow::Create(HINSTANCE instance, int showCmd) {
    WNDCLASSEXA wc{};
    DescribeFrameClass(instance, wc);
    if (!RegisterWindowClass(wc)) return false;
    const RECT frame = CentredFrameForDpi(kFrameStyle, 0, kClientWidth, kClientHeight, kDefaultDpi);
    if (!CreateWindowFor(0, kToolWindowClass, kToolWindowTitle, kFrameStyle, frame.left, frame.top,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance))
        return false;
    // The buttons took the DPI of the monitor the window was made on; the frame follows it.
    RecentreFrameForWindowDpi(hwnd_, kClientWidth, kClientHeight);
    ShowWindow(hwnd_, showCmd);
    UpdateWindow(hwnd_);
    // The first button takes the keyboard, so Enter, Space and Tab work without a click.
    if (HWND first = GetDlgItem(hwnd_, kCmdFirstId)) SetFocus(first);
    return true;
}

LRESULT ToolWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: CreateButtons(); return 0;
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && LOWORD(wp) >= kCmdFirstId &&
            LOWORD(wp) < kCmdFirstId + static_cast<int>(kCaptions.size())) {
            RunAction(LOWORD(wp) - kCmdFirstId);
            return 0;
        }
        break;
    case WM_DPICHANGED: OnDpiChanged(TakeSuggestedDpiRect(hwnd_, wp, lp)); return 0;
    case WM_DESTROY: EndProgram(); return 0;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

void ToolWindow::CreateButtons() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE));
    layout_.SetDpi(WindowDpi(hwnd_));
    font_ = ScaledGuiFont(layout_.Dpi());
    HGDIOBJ font = font_ ? font_.get() : GetStockObject(DEFAULT_GUI_FONT);
    for (int i = 0; i < static_cast<int>(kCaptions.size()); ++i) {
        const DpiRect rect96{kMargin, kMargin + i * (kButtonHeight + kGap), kButtonWidth, kButtonHeight};
        const DpiRect at = layout_.Scale(rect96);
        cmd_[i] = CreateWindowExA(0, "BUTTON", kCaptions[i], WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  at.Left, at.Top, at.Width, at.Height, hwnd_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCmdFirstId + i)), instance, nullptr);
        layout_.Remember(cmd_[i], rect96);
        if (cmd_[i] && font) SendMessageA(cmd_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

// The old font goes only after no button uses it any more.
void ToolWindow::OnDpiChanged(int dpi) {
    UniqueHfont font = ScaledGuiFont(dpi);
    layout_.Rescale(dpi, font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    font_ = std::move(font);
}

void ToolWindow::RunAction(int index) {
    switch (index) {
    case 0: FixTroubles(); break;
    case 1: SetSafeModeLock(true); break;
    case 2: SetSafeModeLock(false); break;
    }
}

// Closing the window ends the tool.
void ToolWindow::EndProgram() {
    cmd_.fill(nullptr);
    PostQuitMessage(0);
}

int RunMainWindow(HINSTANCE instance, int showCmd) {
    // The window's object lives as long as the window; one still open at the end goes with the
    // process.
    SingleWindow<ToolWindow> window;
    if (!window.Show(instance, showCmd)) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move between the buttons as in a dialog.
        if (window.IsDialogKeyMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
