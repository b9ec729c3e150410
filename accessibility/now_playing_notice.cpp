#include "accessibility/now_playing_notice.h"

#include <oleauto.h>

namespace tarnix {

namespace {

// NotificationKind_Other and NotificationProcessing_MostRecent: a newer announcement replaces
// one not yet spoken, so skipping through subtracks says only where it landed.
constexpr int kNotificationKindOther = 4;
constexpr int kNotificationProcessingMostRecent = 3;
constexpr const wchar_t* kActivityId = L"TarnixNowPlaying";

}  // namespace

bool NowPlayingNotice::Load() {
  if (tried_) return raise_ != nullptr;
  tried_ = true;
  // From the system folder only, never a file of that name beside the player.
  wchar_t path[MAX_PATH];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  const wchar_t kName[] = L"\\uiautomationcore.dll";
  if (length == 0 || length + sizeof(kName) / sizeof(wchar_t) > MAX_PATH) return false;
  lstrcpyW(path + length, kName);
  HMODULE module = LoadLibraryW(path);
  if (!module) return false;
  listening_ =
      reinterpret_cast<ClientsAreListening>(reinterpret_cast<void*>(GetProcAddress(module, "UiaClientsAreListening")));
  hostProvider_ = reinterpret_cast<HostProviderFromHwnd>(
      reinterpret_cast<void*>(GetProcAddress(module, "UiaHostProviderFromHwnd")));
  raise_ = reinterpret_cast<RaiseNotificationEvent>(
      reinterpret_cast<void*>(GetProcAddress(module, "UiaRaiseNotificationEvent")));
  if (!listening_ || !hostProvider_ || !raise_) {
    listening_ = nullptr;
    hostProvider_ = nullptr;
    raise_ = nullptr;
    FreeLibrary(module);
    return false;
  }
  // Kept loaded for the rest of the process: UI Automation may still hold the provider it made
  // for the window on its own threads after the plug-in has gone.
  return true;
}

void NowPlayingNotice::Announce(HWND window, const std::wstring& text) {
  if (!Load() || !listening_()) return;
  IUnknown* provider = nullptr;
  if (FAILED(hostProvider_(window, &provider)) || !provider) return;
  BSTR spoken = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  BSTR activity = SysAllocString(kActivityId);
  if (spoken && activity) raise_(provider, kNotificationKindOther, kNotificationProcessingMostRecent, spoken, activity);
  SysFreeString(spoken);
  SysFreeString(activity);
  provider->Release();
}

}  // namespace tarnix
