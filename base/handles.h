// Ownership of Win32 handles: every handle the program opens is closed by its owner's destructor.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <utility>

namespace vt {

template <class H, auto Close>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(H h) noexcept : h_(h) {}
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, H{}));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }
    void reset(H h = H{}) noexcept {
        if (h_ && h_ != h) Close(h_);
        h_ = h;
    }
    H release() noexcept { return std::exchange(h_, H{}); }
    H get() const noexcept { return h_; }
    H* put() noexcept { reset(); return &h_; }
    explicit operator bool() const noexcept { return h_ != H{}; }
private:
    H h_{};
};

inline void CloseKernel(HANDLE h) noexcept { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
inline void CloseKey(HKEY k) noexcept { RegCloseKey(k); }
template <class T> inline void DeleteGdi(T o) noexcept { DeleteObject(o); }
inline void CloseMemDC(HDC d) noexcept { DeleteDC(d); }
inline void CloseIcon(HICON i) noexcept { DestroyIcon(i); }
inline void CloseMenu(HMENU m) noexcept { DestroyMenu(m); }
inline void CloseView(void* p) noexcept { UnmapViewOfFile(p); }
inline void CloseLibrary(HMODULE m) noexcept { FreeLibrary(m); }
inline void CloseFind(HANDLE h) noexcept { if (h != INVALID_HANDLE_VALUE) FindClose(h); }

using UniqueHandle  = Unique<HANDLE, CloseKernel>;   // events, mutexes, threads, timers, mappings
using UniqueKey     = Unique<HKEY, CloseKey>;
using UniqueGdi     = Unique<HGDIOBJ, DeleteGdi<HGDIOBJ>>;
using UniqueBitmap  = Unique<HBITMAP, DeleteGdi<HBITMAP>>;
using UniqueBrush   = Unique<HBRUSH, DeleteGdi<HBRUSH>>;
using UniquePen     = Unique<HPEN, DeleteGdi<HPEN>>;
using UniqueFont    = Unique<HFONT, DeleteGdi<HFONT>>;
using UniqueRgn     = Unique<HRGN, DeleteGdi<HRGN>>;
using UniqueMemDC   = Unique<HDC, CloseMemDC>;           // CreateCompatibleDC
using UniqueIcon    = Unique<HICON, CloseIcon>;
using UniqueMenu    = Unique<HMENU, CloseMenu>;
using UniqueView    = Unique<void*, CloseView>;
inline void CloseImageList(HIMAGELIST list) noexcept { ImageList_Destroy(list); }
using UniqueImageList = Unique<HIMAGELIST, CloseImageList>;
using UniqueLibrary = Unique<HMODULE, CloseLibrary>;
using UniqueFindFile = Unique<HANDLE, CloseFind>;

// A DC from GetDC / GetWindowDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND w) noexcept : w_(w), dc_(GetDC(w)) {}
    ~WindowDC() { if (dc_) ReleaseDC(w_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
private:
    HWND w_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND w) noexcept : w_(w) { dc_ = BeginPaint(w, &ps_); }
    ~PaintDC() { EndPaint(w_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& ps() const noexcept { return ps_; }
private:
    HWND w_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Keeps an object selected into a DC for one scope and puts the previous one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() { if (old_) SelectObject(dc_, old_); }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
private:
    HDC dc_;
    HGDIOBJ old_;
};

// A COM interface pointer.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(const ComPtr& o) noexcept : p_(o.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }
    ~ComPtr() { reset(); }
    void reset() noexcept { if (p_) std::exchange(p_, nullptr)->Release(); }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T** put() noexcept { reset(); return &p_; }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    template <class U>
    ComPtr<U> As() const noexcept {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(__uuidof(U), r.put_void());
        return r;
    }
private:
    T* p_ = nullptr;
};

// CoInitializeEx for one scope; judged by success (S_OK and S_FALSE both count).
class ComApartment {
public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : ok_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ~ComApartment() { if (ok_) CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    bool ok() const noexcept { return ok_; }
private:
    bool ok_;
};

}  // namespace vt
