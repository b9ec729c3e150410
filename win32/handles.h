#pragma once
// Owners of Win32 handles for the plug-in and everything built around it (tests, test host,
// benchmarks). Each closes its handle exactly once with the call that matches how it was
// obtained. None can be copied, since a copy would close twice; most can be moved. Every owner
// counts the objects it holds by kind, so that a leak shows in the counts (the system's own
// counters read 0 under Wine).

#include <windows.h>

#include <atomic>
#include <utility>

namespace tarnix {

enum class LiveKind { kGdiObject, kDc, kWindow, kMenu, kHook, kKernel, kCount };

namespace detail {
inline std::atomic<long> g_liveObjects[static_cast<int>(LiveKind::kCount)];
inline void CountLive(LiveKind kind, long change) {
  g_liveObjects[static_cast<int>(kind)].fetch_add(change, std::memory_order_relaxed);
}
}  // namespace detail

// How many objects of `kind` the owners below hold right now, in this module.
inline long LiveObjects(LiveKind kind) {
  return detail::g_liveObjects[static_cast<int>(kind)].load(std::memory_order_relaxed);
}

// A handle of type Traits::Handle, closed by Traits::Close when Traits::IsValid says it is set.
template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) { Count(1); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) { Count(1); }
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Handle Get() const { return handle_; }
  bool Valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return Valid(); }
  void Reset(Handle handle = Traits::Empty()) {
    if (Valid()) {
      Traits::Close(handle_);
      Count(-1);
    }
    handle_ = handle;
    Count(1);
  }
  Handle Release() {
    Count(-1);
    return std::exchange(handle_, Traits::Empty());
  }
  // Closes the handle now and says whether that worked; a handle that failed to close is kept,
  // for another try.
  bool Close() {
    if (!Valid()) return true;
    if (!Traits::Close(handle_)) return false;
    Count(-1);
    handle_ = Traits::Empty();
    return true;
  }

 private:
  void Count(long change) const {
    if (Valid()) detail::CountLive(Traits::kKind, change);
  }

  Handle handle_ = Traits::Empty();
};

namespace handle_traits {

// Kernel objects (files, threads, events): both null and INVALID_HANDLE_VALUE mean none.
struct Kernel {
  static constexpr LiveKind kKind = LiveKind::kKernel;
  using Handle = HANDLE;
  static HANDLE Empty() { return nullptr; }
  static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static bool Close(HANDLE h) { return CloseHandle(h) != 0; }
};

struct Find {
  static constexpr LiveKind kKind = LiveKind::kKernel;
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static bool Close(HANDLE h) { return FindClose(h) != 0; }
};

template <class H>
struct Gdi {
  static constexpr LiveKind kKind = LiveKind::kGdiObject;
  using Handle = H;
  static H Empty() { return nullptr; }
  static bool IsValid(H h) { return h != nullptr; }
  static bool Close(H h) { return DeleteObject(h) != 0; }
};

struct CreatedDc {
  static constexpr LiveKind kKind = LiveKind::kDc;
  using Handle = HDC;
  static HDC Empty() { return nullptr; }
  static bool IsValid(HDC h) { return h != nullptr; }
  static bool Close(HDC h) { return DeleteDC(h) != 0; }
};

struct Hook {
  static constexpr LiveKind kKind = LiveKind::kHook;
  using Handle = HHOOK;
  static HHOOK Empty() { return nullptr; }
  static bool IsValid(HHOOK h) { return h != nullptr; }
  static bool Close(HHOOK h) { return UnhookWindowsHookEx(h) != 0; }
};

struct Window {
  static constexpr LiveKind kKind = LiveKind::kWindow;
  using Handle = HWND;
  static HWND Empty() { return nullptr; }
  static bool IsValid(HWND h) { return h != nullptr; }
  static bool Close(HWND h) { return DestroyWindow(h) != 0; }
};

struct Menu {
  static constexpr LiveKind kKind = LiveKind::kMenu;
  using Handle = HMENU;
  static HMENU Empty() { return nullptr; }
  static bool IsValid(HMENU h) { return h != nullptr; }
  static bool Close(HMENU h) { return DestroyMenu(h) != 0; }
};

}  // namespace handle_traits

// From CreateFile, CreateThread, CreateEvent: CloseHandle.
using KernelHandle = UniqueHandle<handle_traits::Kernel>;
using FileHandle = KernelHandle;
// From FindFirstFile: FindClose.
using FindHandle = UniqueHandle<handle_traits::Find>;
// Fonts, brushes, bitmaps: DeleteObject. Deselect them from every DC first.
template <class H>
using GdiObject = UniqueHandle<handle_traits::Gdi<H>>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using BitmapHandle = GdiObject<HBITMAP>;
// From SetWindowsHookEx: UnhookWindowsHookEx.
using HookHandle = UniqueHandle<handle_traits::Hook>;
// A window or modeless dialog this code created: DestroyWindow, on the thread that made it.
using WindowHandle = UniqueHandle<handle_traits::Window>;
// From LoadMenu or CreateMenu, not attached to a window: DestroyMenu (sub-menus go with it).
using MenuHandle = UniqueHandle<handle_traits::Menu>;

// A memory device context from CreateCompatibleDC: DeleteDC.
class MemoryDc : public UniqueHandle<handle_traits::CreatedDc> {
 public:
  MemoryDc() = default;
  explicit MemoryDc(HDC compatibleWith) : UniqueHandle(CreateCompatibleDC(compatibleWith)) {}
};

// The device context of a window's client area (GetDC) or of the whole window with its frame
// (GetWindowDC; a null window gives the whole screen's); both are given back with ReleaseDC.
class WindowDc {
 public:
  WindowDc() = default;
  explicit WindowDc(HWND window) : window_(window), dc_(window ? GetDC(window) : nullptr) { Count(1); }
  static WindowDc WholeWindow(HWND window) {
    WindowDc dc;
    dc.window_ = window;
    dc.dc_ = GetWindowDC(window);
    dc.Count(1);
    return dc;
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc(WindowDc&& other) noexcept
      : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr)) {}
  WindowDc& operator=(WindowDc&& other) noexcept {
    if (this != &other) {
      Reset();
      window_ = std::exchange(other.window_, nullptr);
      dc_ = std::exchange(other.dc_, nullptr);
    }
    return *this;
  }
  ~WindowDc() { Reset(); }

  HDC Get() const { return dc_; }
  void Reset() {
    if (dc_) {
      ReleaseDC(window_, dc_);
      Count(-1);
    }
    dc_ = nullptr;
    window_ = nullptr;
  }

 private:
  void Count(long change) const {
    if (dc_) detail::CountLive(LiveKind::kDc, change);
  }

  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// Selects an object into a device context and puts the one it replaced back when it ends.
class SelectedObject {
 public:
  SelectedObject() = default;
  SelectedObject(HDC dc, HGDIOBJ object) { Select(dc, object); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() { Reset(); }

  // Puts back what an earlier selection replaced, then selects `object`.
  void Select(HDC dc, HGDIOBJ object) {
    Reset();
    dc_ = dc;
    previous_ = dc && object ? SelectObject(dc, object) : nullptr;
  }
  void Reset() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
    dc_ = nullptr;
    previous_ = nullptr;
  }

 private:
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// Holds the clipboard open; CloseClipboard when it ends.
class ClipboardLock {
 public:
  explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != 0) {}
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// Locks a global memory block (a clipboard format's data, for one) while it is read.
class GlobalLockView {
 public:
  explicit GlobalLockView(HGLOBAL memory)
      : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr), size_(data_ ? GlobalSize(memory) : 0) {}
  GlobalLockView(const GlobalLockView&) = delete;
  GlobalLockView& operator=(const GlobalLockView&) = delete;
  ~GlobalLockView() {
    if (data_) GlobalUnlock(memory_);
  }
  const void* Data() const { return data_; }
  size_t Size() const { return size_; }

 private:
  HGLOBAL memory_;
  void* data_;
  size_t size_;
};

}  // namespace tarnix
