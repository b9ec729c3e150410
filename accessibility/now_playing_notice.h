#pragma once
// NowPlayingNotice: "Now playing: <name>" as a UI Automation notification, which screen readers
// speak whatever has the focus. The call exists from Windows 10 version 1709 on: it is looked up
// in uiautomationcore.dll at the first announcement, so the plug-in loads on older systems (and
// Wine), where announcing does nothing and the row's name change is what a reader hears.

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

namespace tarnix {

class NowPlayingNotice {
 public:
  // Nothing when no client of UI Automation listens or the system lacks the call.
  void Announce(HWND window, const std::wstring& text);
  // Whether the call was found (false also before the first announcement).
  bool Available() const { return raise_ != nullptr; }

 private:
  bool Load();

  using ClientsAreListening = BOOL(WINAPI*)();
  // The provider is an IRawElementProviderSimple; only its IUnknown side is used here.
  using HostProviderFromHwnd = HRESULT(WINAPI*)(HWND, IUnknown**);
  using RaiseNotificationEvent = HRESULT(WINAPI*)(IUnknown*, int kind, int processing, BSTR text, BSTR activity);

  bool tried_ = false;
  ClientsAreListening listening_ = nullptr;
  HostProviderFromHwnd hostProvider_ = nullptr;
  RaiseNotificationEvent raise_ = nullptr;
};

}  // namespace tarnix
