#include "box_driver.h"

#include <thread>

#include "host/message_box.h"
#include "win32/utf16.h"

namespace tarnix::test {

namespace {

struct FindBox {
  HWND found = nullptr;
};

BOOL CALLBACK FindBoxProc(HWND window, LPARAM param) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "MyMessageBox" && IsWindowVisible(window)) {
    reinterpret_cast<FindBox*>(param)->found = window;
    return FALSE;
  }
  return TRUE;
}

struct Children {
  std::vector<HWND> windows;
};

BOOL CALLBACK ChildProc(HWND window, LPARAM param) {
  reinterpret_cast<Children*>(param)->windows.push_back(window);
  return TRUE;
}

}  // namespace

// As UTF-8, the way the box was given its texts.
std::string WindowTextOf(HWND window) {
  wchar_t buffer[2048] = {};
  const int length = GetWindowTextW(window, buffer, 2048);
  return Utf8FromWide(std::wstring_view(buffer, length > 0 ? static_cast<size_t>(length) : 0));
}

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

HWND WaitForBox(DWORD thread) {
  for (int i = 0; i < 500; ++i) {
    FindBox find;
    EnumThreadWindows(thread, FindBoxProc, reinterpret_cast<LPARAM>(&find));
    // The caption is set just before the box is shown: wait for the finished box.
    if (find.found && WindowTextOf(find.found) != "?") return find.found;
    Sleep(10);
  }
  return nullptr;
}

BoxView InspectBox(HWND box, DWORD thread) {
  BoxView v;
  v.box = box;
  v.style = GetWindowLongPtrA(box, GWL_STYLE);
  v.exStyle = GetWindowLongPtrA(box, GWL_EXSTYLE);
  v.caption = WindowTextOf(box);
  GetWindowRect(box, &v.windowRect);
  GetClientRect(box, &v.clientRect);
  v.focus = FocusOf(thread);
  Children children;
  EnumChildWindows(box, ChildProc, reinterpret_cast<LPARAM>(&children));
  for (HWND child : children.windows) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    if (lstrcmpiA(name, "Button") == 0) {
      RECT r;
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
      v.buttons.push_back({child, GetDlgCtrlID(child), WindowTextOf(child), (style & 0x0F) == BS_DEFPUSHBUTTON, r});
    } else if (lstrcmpiA(name, "Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        v.icon = child;
      } else {
        v.text = child;
        v.textCaption = WindowTextOf(child);
        v.textStyle = style;
      }
    }
  }
  return v;
}

BoxRun RunBox(const char* text, const char* caption, unsigned flags, UINT quitLow, UINT quitHigh,
              const std::function<void(const BoxView&)>& act) {
  BoxRun run;
  const DWORD me = GetCurrentThreadId();
  std::thread helper([&] {
    HWND box = WaitForBox(me);
    if (!box) return;
    run.found = true;
    // Tests running in parallel share the desktop, and another program's window in front
    // leaves this thread without a focus. Bring the box to the front, as a user sees it.
    SetForegroundWindow(box);
    for (int i = 0; i < 300 && !FocusOf(me); ++i) Sleep(10);
    run.view = InspectBox(box, me);
    act(run.view);
    for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);
    if (IsWindow(box)) {
      if (quitLow == 0x4406 || quitHigh == 0x4406)
        PostThreadMessageA(me, 0x4406, 0, 0);
      else
        PostMessageA(box, WM_CLOSE, 0, 0);
    }
  });
  run.result = ShowMessageBox(nullptr, text, caption, flags, quitLow, quitHigh);
  helper.join();
  return run;
}

}  // namespace tarnix::test
