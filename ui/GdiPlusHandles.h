// Owners for GDI+ objects and the GDI+ session. Every window and the image table keep their GDI+
// objects in these, so each object is deleted exactly once and only when it was made.
#pragma once

#include <windows.h>

// The GDI+ headers call min and max unqualified; NOMINMAX keeps the Windows macros away.
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <memory>
#include <new>
#include <utility>

// GDI+ objects are deleted through their own operator delete (GdipFree).
template <class T>
using GdiPlusPtr = std::unique_ptr<T>;

// Makes a GDI+ object and keeps it only when it works. The classes allocate with GdipAlloc, which
// returns null when memory runs out, but their operator new is not declared non-throwing, so a
// plain `new Gdiplus::Font(...)` would run the constructor on a null pointer. Allocating first
// and constructing in place avoids that; GetLastStatus then tells whether the native object was
// made (a font family that does not exist, a bitmap too large for memory ...).
template <class T, class... Args>
GdiPlusPtr<T> NewGdiPlus(Args&&... args) {
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(T));
    if (!memory) return nullptr;
    GdiPlusPtr<T> object(::new (memory) T(std::forward<Args>(args)...));
    if (object->GetLastStatus() != Gdiplus::Ok) object.reset();
    return object;
}

// Takes an object a GDI+ factory returned (Bitmap::FromStream, Image::Clone ...): null or a
// failed object gives an empty owner.
template <class T>
GdiPlusPtr<T> AdoptGdiPlus(T* object) {
    GdiPlusPtr<T> owner(object);
    if (owner && owner->GetLastStatus() != Gdiplus::Ok) owner.reset();
    return owner;
}

// GdiplusStartup / GdiplusShutdown. Every GDI+ object must be gone before the session ends.
class GdiPlusSession {
public:
    GdiPlusSession() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;
    ~GdiPlusSession() { if (token_) Gdiplus::GdiplusShutdown(token_); }
    bool IsStarted() const { return token_ != 0; }
private:
    ULONG_PTR token_ = 0;
};
