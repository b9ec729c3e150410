// A minimal general-purpose plug-in for the test host's own tests: init starts a thread with a
// window that asks the player for its current entry's path through the guarded send and shows
// it as the window's title; config makes it ask the player without pause; quit posts the quit
// message and waits for the thread.

#include "host/messaging.h"
#include "host/player_codes.h"

#include <windows.h>

#include <atomic>

namespace {

using namespace tarnix;

constexpr const char* kFakeWindowClass = "TarnixFakePlugin";
constexpr UINT kMsgPollAgain = WM_APP + 1;

HANDLE g_thread = nullptr;
DWORD g_threadId = 0;
std::atomic<bool> g_busy{false};

int Init();
void Config();
void Quit();

PluginDescriptor g_descriptor = {kPluginDescriptorVersion, "Fake test plug-in", Init, Config, Quit, nullptr, nullptr};

LRESULT CALLBACK FakeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void AskPlayer(HWND window) {
  const HWND player = g_descriptor.hwndParent;
  const LRESULT index = SendToPlayer(player, kPlayerRequest, 0, kCodePlaylistPosition);
  if (index < 0) return;
  const auto* path = reinterpret_cast<const char*>(
      SendToPlayer(player, kPlayerRequest, static_cast<WPARAM>(index), kCodePlaylistFile));
  SetWindowTextA(window, path != nullptr ? path : "");
}

DWORD WINAPI PluginThread(void*) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FakeWindowProc;
  wc.hInstance = g_descriptor.hDllInstance;
  wc.lpszClassName = kFakeWindowClass;
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kFakeWindowClass, "", WS_POPUP, 0, 0, 10, 10, g_descriptor.hwndParent,
                                nullptr, g_descriptor.hDllInstance, nullptr);
  SetTimer(window, 1, 100, nullptr);
  try {
    AskPlayer(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == UM_QUIT) break;
      if (msg.message == WM_TIMER || msg.message == kMsgPollAgain) {
        SendToPlayer(g_descriptor.hwndParent, kPlayerRequest, 0, kCodeOutputTime);
        if (g_busy) PostThreadMessageA(GetCurrentThreadId(), kMsgPollAgain, 0, 0);
        continue;
      }
      DispatchMessageA(&msg);
    }
  } catch (const SendMsgException&) {
    OutputDebugStringA("Tarnix.SendMsgException\n");
  }
  KillTimer(window, 1);
  DestroyWindow(window);
  return 0;
}

int Init() {
  g_thread = CreateThread(nullptr, 0, PluginThread, nullptr, 0, &g_threadId);
  return 0;
}

void Config() {
  g_busy = true;
  PostThreadMessageA(g_threadId, kMsgPollAgain, 0, 0);
}

void Quit() {
  if (g_thread == nullptr) return;
  PostThreadMessageA(g_threadId, UM_QUIT, 0, 0);
  WaitForSingleObject(g_thread, INFINITE);
  CloseHandle(g_thread);
  g_thread = nullptr;
}

}  // namespace

extern "C" __declspec(dllexport) PluginDescriptor* winampGetGeneralPurposePlugin() { return &g_descriptor; }
