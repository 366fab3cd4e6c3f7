// The one way every window of both programs is tied to its object.
//
// T derives from Window<T> and has `LRESULT HandleMessage(UINT, WPARAM, LPARAM)`, which ends with
// `DefWindowProcA(Hwnd(), ...)` for what it does not handle. T registers its class through
// RegisterWindowClass and makes its window with CreateWindowFor, which passes the object as
// CreateWindowExA's parameter:
// - at WM_NCCREATE the object is stored in the window's user data and learns its handle;
// - every later message goes to T::HandleMessage; a message for a window whose object is gone
//   (user data 0) goes to DefWindowProcA, so a handler never runs on a deleted object;
// - at WM_NCDESTROY, the window's last message, the tie is cut and Hwnd() becomes null; then
//   T::OnWindowGone runs, and last the owner that lives exactly as long as the window
//   (SingleWindow) is told and deletes the object.
// Who deletes the object: its owner, never the window procedure. An object that outlives its
// window (the lock session's windows) is simply left without a handle.
#pragma once

#include <windows.h>

#include "ui/WindowClass.h"

template <class T>
class SingleWindow;

template <class T>
class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const { return hwnd_; }
    // The object of a window of class `className`, for code outside the window procedure; null
    // for any other window, so a handle of the wrong kind never reads another class's data.
    static T* ObjectOf(HWND hwnd, const char* className) {
        char name[64] = "";
        if (!hwnd || !GetClassNameA(hwnd, name, sizeof name) || lstrcmpA(name, className) != 0) return nullptr;
        return static_cast<T*>(reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
    }
    // The procedure every window of T's class runs (a window nothing has subclassed has it).
    static WNDPROC ClassProcedure() { return Procedure; }

protected:
    Window() = default;
    // An object that ends before its window takes the window with it; the window's last
    // messages then find no object.
    ~Window() {
        if (!hwnd_) return;
        const HWND hwnd = hwnd_;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(hwnd);
    }

    // Registers the class `wc` describes, with this base's window procedure.
    static bool RegisterWindowClass(WNDCLASSEXA& wc) {
        wc.lpfnWndProc = Procedure;
        return EnsureWindowClass(wc);
    }

    // CreateWindowExA with this object as the window's object; the handle, or null.
    HWND CreateWindowFor(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu, HINSTANCE instance) {
        const HWND hwnd =
            CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu, instance, this);
        // A window that ended while it was being made has already cut the tie.
        return hwnd && hwnd_ == hwnd ? hwnd : nullptr;
    }

    // A handler that lets messages run (an unlock's pauses) may end the window and its object
    // with it: true while `hwnd` still has `object`. Reads only the window, never the object.
    static bool IsStillAttached(HWND hwnd, const Window* object) {
        return hwnd && IsWindow(hwnd) && GetWindowLongPtrA(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(object);
    }

    // The window is gone (WM_NCDESTROY); nothing of the window may be used here.
    void OnWindowGone() {}

    // The window; null before it is made and after its last message. Set and cleared by the
    // procedure below; a class that detaches and destroys its window itself clears it too.
    HWND hwnd_ = nullptr;

private:
    friend class SingleWindow<T>;
    // Told at the window's end, after OnWindowGone: the owner that deletes the object with its
    // window (SingleWindow). None by default.
    using EndHandler = void (*)(void* owner, T* object);
    void* endOwner_ = nullptr;
    EndHandler endHandler_ = nullptr;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE && lp) {
            auto* created = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTA*>(lp)->lpCreateParams);
            if (created) {
                SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
                created->hwnd_ = hwnd;
            }
        }
        auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
        T* object = static_cast<T*>(self);
        if (msg != WM_NCDESTROY) return object->HandleMessage(msg, wp, lp);
        const LRESULT result = object->HandleMessage(msg, wp, lp);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        void* const owner = self->endOwner_;
        const EndHandler handler = self->endHandler_;
        object->OnWindowGone();
        // May delete the object: nothing of it is used after this.
        if (handler) handler(owner, object);
        return result;
    }
};
