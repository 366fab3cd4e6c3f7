// The tool's window "Orvo PC Lock Tools": three stacked buttons, one per job, shown when the
// tool is started without a recognised argument.
#pragma once

#include <windows.h>

#include <array>

#include "system/WinHandles.h"
#include "ui/WindowDpi.h"
#include "ui/Window.h"

inline constexpr const char kToolWindowClass[] = "OrvoPCLockToolMain";
inline constexpr const char kToolWindowTitle[] = "Orvo PC Lock Tools";

class ToolWindow : public Window<ToolWindow> {
public:
    ToolWindow() = default;
    ~ToolWindow();

    // Creates the window centred on the primary work area and shows it as `showCmd` asks,
    // the first button focused; false when it could not be made.
    bool Create(HINSTANCE instance, int showCmd);

private:
    friend class Window<ToolWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CreateButtons();
    void RunAction(int index);
    void EndProgram();
    void OnDpiChanged(int dpi);

    std::array<HWND, 3> cmd_{};
    ScaledLayout layout_;
    UniqueHfont font_;   // null while the stock GUI font serves (the system's DPI)
};

// Shows the window and runs its message loop until it is closed; returns the exit code.
int RunMainWindow(HINSTANCE instance, int showCmd);
