#include "testhost/window_class.h"

#include <mutex>
#include <set>
#include <string>

namespace tarnix::testhost {

bool RegisterWindowClass(const WindowClass& windowClass) {
  static std::mutex mutex;
  static std::set<std::string> registered;
  const std::lock_guard<std::mutex> lock(mutex);
  if (registered.count(windowClass.name) != 0) return true;
  WNDCLASSA wc{};
  wc.style = windowClass.style;
  wc.lpfnWndProc = windowClass.procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = windowClass.background;
  wc.lpszClassName = windowClass.name;
  if (RegisterClassA(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  registered.insert(windowClass.name);
  return true;
}

}  // namespace tarnix::testhost
