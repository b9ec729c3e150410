#include "testhost/input.h"

#include <cstdint>

namespace tarnix::testhost {

namespace {

LPARAM PointLParam(POINT p) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(p.x)), static_cast<WORD>(static_cast<SHORT>(p.y)));
}

}  // namespace

bool PostMouse(HWND window, UINT message, POINT client, WPARAM keys) {
  return PostMessageA(window, message, keys, PointLParam(client)) != 0;
}

bool PostMouseMove(HWND window, POINT client, WPARAM keys) { return PostMouse(window, WM_MOUSEMOVE, client, keys); }

bool PostClick(HWND window, POINT client, MouseButton button) {
  const bool left = button == MouseButton::kLeft;
  return PostMouse(window, left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, client, left ? MK_LBUTTON : MK_RBUTTON) &&
         PostMouse(window, left ? WM_LBUTTONUP : WM_RBUTTONUP, client, 0);
}

bool PostDoubleClick(HWND window, POINT client) {
  return PostMouse(window, WM_LBUTTONDOWN, client, MK_LBUTTON) && PostMouse(window, WM_LBUTTONUP, client, 0) &&
         PostMouse(window, WM_LBUTTONDBLCLK, client, MK_LBUTTON) && PostMouse(window, WM_LBUTTONUP, client, 0);
}

LPARAM KeyLParam(UINT virtualKey, bool release, bool alt) {
  const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC) & 0xff;
  std::uint32_t value = 1u | scan << 16;
  if (alt) value |= 1u << 29;
  if (release) value |= 3u << 30;
  return static_cast<LPARAM>(static_cast<LONG>(value));
}

bool PostKeyDown(HWND window, UINT virtualKey, bool alt) {
  return PostMessageA(window, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, KeyLParam(virtualKey, false, alt)) != 0;
}

bool PostKey(HWND window, UINT virtualKey, bool alt) {
  return PostKeyDown(window, virtualKey, alt) &&
         PostMessageA(window, alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, KeyLParam(virtualKey, true, alt)) != 0;
}

}  // namespace tarnix::testhost
