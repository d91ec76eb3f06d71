// Owners for Win32 resources: one per kind, non-copyable, movable. Closing keeps the
// caller's GetLastError value, so "open failed, log why" still reads the right code
// after the owner went out of scope.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace tolvex {

template <typename Traits>
class ScopedResource {
 public:
  using Handle = typename Traits::Handle;
  ScopedResource() = default;
  explicit ScopedResource(Handle h) : h_(h) {}
  ~ScopedResource() { Close(); }
  ScopedResource(const ScopedResource&) = delete;
  ScopedResource& operator=(const ScopedResource&) = delete;
  ScopedResource(ScopedResource&& o) noexcept : h_(o.Release()) {}
  ScopedResource& operator=(ScopedResource&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  bool IsValid() const { return Traits::IsValid(h_); }
  explicit operator bool() const { return IsValid(); }
  Handle Get() const { return h_; }
  // For APIs that return the handle through an out parameter.
  Handle* Receive() {
    Close();
    return &h_;
  }
  Handle Release() {
    Handle h = h_;
    h_ = Traits::Null();
    return h;
  }
  void Reset(Handle h = Traits::Null()) {
    Close();
    h_ = h;
  }
  void Close() {
    if (Traits::IsValid(h_)) {
      DWORD err = GetLastError();
      Traits::Close(h_);
      SetLastError(err);
    }
    h_ = Traits::Null();
  }

 private:
  Handle h_ = Traits::Null();
};

struct KernelHandleTraits {  // CreateFile and friends: INVALID_HANDLE_VALUE or NULL
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { FindClose(h); }
};
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { RegCloseKey(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};

template <typename H>
struct GdiObjectTraits {  // fonts, brushes, bitmaps made by the program
  using Handle = H;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
template <typename T>
struct CoTaskMemTraits {  // memory the shell hands over (item id lists)
  using Handle = T*;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CoTaskMemFree(h); }
};

using ScopedHandle = ScopedResource<KernelHandleTraits>;
using ScopedFindHandle = ScopedResource<FindHandleTraits>;
using ScopedRegKey = ScopedResource<RegKeyTraits>;
using ScopedModule = ScopedResource<ModuleTraits>;
using ScopedFont = ScopedResource<GdiObjectTraits<HFONT>>;
template <typename T>
using ScopedCoTaskMem = ScopedResource<CoTaskMemTraits<T>>;

// COM interface pointer.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      Reset();
      p_ = o.p_;
      o.p_ = nullptr;
    }
    return *this;
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  T** Receive() {
    Reset();
    return &p_;
  }
  void Reset() {
    if (p_) {
      DWORD err = GetLastError();
      p_->Release();
      SetLastError(err);
    }
    p_ = nullptr;
  }

 private:
  T* p_ = nullptr;
};

// A window's device context (the whole screen's for no window), released at the end of
// the scope.
class WindowDC {
 public:
  explicit WindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() { Close(); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  WindowDC(WindowDC&& o) noexcept : window_(o.window_), dc_(o.dc_) { o.dc_ = nullptr; }
  WindowDC& operator=(WindowDC&& o) noexcept {
    if (this != &o) {
      Close();
      window_ = o.window_;
      dc_ = o.dc_;
      o.dc_ = nullptr;
    }
    return *this;
  }
  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }
  void Close() {
    if (dc_) {
      DWORD err = GetLastError();
      ReleaseDC(window_, dc_);
      SetLastError(err);
    }
    dc_ = nullptr;
  }

 private:
  HWND window_;
  HDC dc_;
};
using ScreenDC = WindowDC;

// An object selected into a device context for one scope; the one it replaced goes back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  ~ScopedSelectObject() {
    if (old_) SelectObject(dc_, old_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A handle of the service manager, whose functions the 9x family lacks: the program looks
// them up, and this owner closes with the function it was given.
class ScopedServiceHandle {
 public:
  using CloseFn = BOOL(WINAPI*)(SC_HANDLE);
  ScopedServiceHandle(SC_HANDLE h, CloseFn close) : h_(h), close_(close) {}
  ~ScopedServiceHandle() {
    if (h_ && close_) {
      DWORD err = GetLastError();
      close_(h_);
      SetLastError(err);
    }
  }
  ScopedServiceHandle(const ScopedServiceHandle&) = delete;
  ScopedServiceHandle& operator=(const ScopedServiceHandle&) = delete;
  explicit operator bool() const { return h_ != nullptr; }

 private:
  SC_HANDLE h_;
  CloseFn close_;
};

// CoInitialize for one scope; balanced only when it succeeded.
class ScopedComInit {
 public:
  ScopedComInit() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ScopedComInit() {
    if (ok_) CoUninitialize();
  }
  ScopedComInit(const ScopedComInit&) = delete;
  ScopedComInit& operator=(const ScopedComInit&) = delete;

 private:
  bool ok_;
};

}  // namespace tolvex
