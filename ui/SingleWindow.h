// A window of which the program shows at most one at a time (the about window, the verify and
// configuration dialogs, the tray owner, the tool's window).
//
// One ownership rule for all of them: the helper owns the window's object, and the object lives
// exactly as long as its window. It is made when the window is opened and deleted at the
// window's last message, WM_NCDESTROY, however the window ends (its own button, the close box,
// Close from the program's exit). So a closed window leaves nothing behind, a handle read from
// the helper is either a live window or null, and a window still open when the process ends
// goes with the process (nothing is torn down after GDI+ has been shut down).
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

#include "ui/Window.h"
#include "ui/WindowClass.h"

template <class T>
class SingleWindow {
public:
    SingleWindow() = default;
    SingleWindow(const SingleWindow&) = delete;
    SingleWindow& operator=(const SingleWindow&) = delete;
    // An open window outlives the helper: see the rule above.
    ~SingleWindow() { (void)object_.release(); }

    T* Get() const { return object_.get(); }
    HWND Hwnd() const { return object_ ? object_->Hwnd() : nullptr; }

    // Brings the open window forward, restored when minimised; false when none is open.
    bool BringForward() const {
        HWND hwnd = Hwnd();
        if (!hwnd) return false;
        if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
        SetForegroundWindow(hwnd);
        return true;
    }

    // Brings the open window forward, or makes a new object and calls its Create(args...),
    // which makes and shows the window. The open or new object; null when Create failed.
    template <class... Args>
    T* Show(Args&&... args) {
        return ShowNew(std::make_unique<T>(), std::forward<Args>(args)...);
    }

    // Show for an object its caller makes (one given its roles in the constructor); `made` is
    // dropped when a window is open already.
    template <class... Args>
    T* ShowNew(std::unique_ptr<T> made, Args&&... args) {
        if (BringForward()) return object_.get();
        if (!made) return nullptr;
        object_ = std::move(made);
        T* created = object_.get();
        created->endOwner_ = this;
        created->endHandler_ = [](void* owner, T* object) { static_cast<SingleWindow*>(owner)->EndWith(object); };
        // A window that ends while it is being made leaves the object without a handle.
        if (!created->Create(std::forward<Args>(args)...) || !created->Hwnd()) {
            object_.reset();
            return nullptr;
        }
        window_ = created->Hwnd();
        return created;
    }

    // Destroys the open window: its WM_DESTROY handler runs (the configuration dialog saves
    // there), then the object ends. Nothing of the object may be used after this.
    void Close() {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        window_ = nullptr;
        object_.reset();   // a window that is gone without telling
    }

    // Tab, Enter, Esc and the arrow keys for the open window's controls (the message loop asks
    // before it dispatches); true when the message was one of them and has been handled.
    bool IsDialogKeyMessage(MSG* msg) const { return ::IsDialogKeyMessage(Hwnd(), msg); }

private:
    // The window of `object` has ended (Window<T> tells this last): when `object` is this
    // helper's, it ends.
    void EndWith(const T* object) {
        if (!object || object != object_.get()) return;
        window_ = nullptr;
        object_.reset();
    }

    std::unique_ptr<T> object_;
    HWND window_ = nullptr;   // the object's window, kept past its WM_DESTROY
};
