#include "tests/support/ui_driver.h"

#include <vector>

namespace tarnix::testsupport {

namespace {

struct FindRequest {
  const char* className;
  const char* title;
  HWND found;
};

BOOL CALLBACK MatchThreadWindow(HWND window, LPARAM parameter) {
  auto* request = reinterpret_cast<FindRequest*>(parameter);
  char buffer[256] = {};
  if (request->className) {
    GetClassNameA(window, buffer, sizeof buffer);
    if (lstrcmpiA(buffer, request->className) != 0) return TRUE;
  }
  if (request->title) {
    GetWindowTextA(window, buffer, sizeof buffer);
    if (lstrcmpA(buffer, request->title) != 0) return TRUE;
  }
  request->found = window;
  return FALSE;
}

BOOL CALLBACK FirstStatic(HWND child, LPARAM parameter) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, "Static") != 0) return TRUE;
  const std::string text = WindowText(child);
  if (text.empty()) return TRUE;
  *reinterpret_cast<std::string*>(parameter) = text;
  return FALSE;
}

}  // namespace

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  return std::string(text.data());
}

HWND FindThreadWindow(DWORD threadId, const char* className, const char* title) {
  if (threadId == 0) return FindWindowA(className, title);
  FindRequest request{className, title, nullptr};
  EnumThreadWindows(threadId, MatchThreadWindow, reinterpret_cast<LPARAM>(&request));
  return request.found;
}

bool WaitUntil(const std::function<bool()>& predicate, DWORD deadlineMs) {
  const ULONGLONG end = GetTickCount64() + deadlineMs;
  for (;;) {
    if (predicate()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(10);
  }
}

bool QueryWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, UINT timeoutMs) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer)) return false;
  if (result) *result = static_cast<LRESULT>(answer);
  return true;
}

SharedInput::SharedInput(DWORD otherThread)
    : self_(GetCurrentThreadId()), other_(otherThread), ok_(AttachThreadInput(self_, other_, TRUE) != FALSE) {}

SharedInput::~SharedInput() {
  if (ok_) AttachThreadInput(self_, other_, FALSE);
}

void HoldKey(UINT virtualKey, bool held) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[virtualKey & 0xFF] = held ? 0x80 : 0;
  SetKeyboardState(state);
}

HWND ThreadFocus(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(threadId, &info)) return nullptr;
  return info.hwndFocus;
}

WindowAnswerer::WindowAnswerer(DWORD threadId, std::string className, std::string title,
                               std::function<void(HWND)> answer, DWORD deadlineMs) {
  thread_ = std::thread([this, threadId, className, title, answer, deadlineMs] {
    HWND found = nullptr;
    WaitUntil(
        [&] {
          if (stop_) return true;
          found = FindThreadWindow(threadId, className.empty() ? nullptr : className.c_str(),
                                   title.empty() ? nullptr : title.c_str());
          return found != nullptr && IsWindowVisible(found);
        },
        deadlineMs);
    if (!found || stop_) return;
    std::string text;
    EnumChildWindows(found, FirstStatic, reinterpret_cast<LPARAM>(&text));
    text_ = text;
    answer(found);
    answered_ = true;
  });
}

WindowAnswerer::~WindowAnswerer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::string WindowAnswerer::Text() const { return answered_ ? text_ : std::string(); }

MessageBoxAnswerer::MessageBoxAnswerer(DWORD threadId, int buttonId) {
  thread_ = std::thread([this, threadId, buttonId] {
    HWND answered = nullptr;
    while (!stop_) {
      HWND box = FindThreadWindow(threadId, "MyMessageBox");
      if (box && box != answered && IsWindowVisible(box)) {
        std::string text;
        EnumChildWindows(box, FirstStatic, reinterpret_cast<LPARAM>(&text));
        {
          std::lock_guard<std::mutex> lock(mutex_);
          texts_.push_back(text);
        }
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(buttonId), 0);
        answered = box;
      }
      Sleep(20);
    }
  });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::vector<std::string> MessageBoxAnswerer::Texts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return texts_;
}

bool CloseOpenMenu(DWORD threadId, DWORD deadlineMs) {
  HWND menu = nullptr;
  if (!WaitUntil([&] { return (menu = FindThreadWindow(threadId, "#32768")) != nullptr && IsWindowVisible(menu); },
                 deadlineMs))
    return false;
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(threadId, &info);
  HWND owner = info.hwndMenuOwner ? info.hwndMenuOwner : menu;
  PostMessageA(owner, WM_CANCELMODE, 0, 0);
  return WaitUntil([&] { return !IsWindowVisible(menu); }, deadlineMs);
}

}  // namespace tarnix::testsupport
