// The box is a plain popup of the class "MyMessageBox" with a STATIC text, an optional
// standard icon and up to three buttons, laid out by hand (message_box_layout.h). Its window
// procedure posts every button command back to the box, so that commands reach the private
// loop as queued messages; the loop takes only the box's own messages and leaves the rest of
// the thread's queue alone.

#include "host/message_box.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cwchar>
#include <string>
#include <string_view>

#include "host/callback_guard.h"
#include "host/message_box_layout.h"
#include "win32/handles.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

constexpr wchar_t kClassName[] = L"MyMessageBox";
constexpr DWORD kWaitMs = 200;

constexpr int kFirstButtonId = IDOK;
constexpr int kLastButtonId = IDNO;

HWND ButtonOf(HWND box, int id) { return id >= kFirstButtonId && id <= kLastButtonId ? GetDlgItem(box, id) : nullptr; }

int DefaultButtonId(HWND box) {
  for (int id = kFirstButtonId; id <= kLastButtonId; ++id)
    if (HWND button = ButtonOf(box, id); button && (GetWindowLongPtrW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
      return id;
  return 0;
}

// The dialog manager moves the default along with the focus when Tab or an arrow key lands on
// a push button, so that Enter presses the focused one.
void MakeDefaultButton(HWND box, int defaultId) {
  for (int id = kFirstButtonId; id <= kLastButtonId; ++id)
    if (HWND button = ButtonOf(box, id))
      SendMessageW(button, BM_SETSTYLE, id == defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

int FocusedButtonId(HWND box) {
  HWND focus = GetFocus();
  const int id = focus && GetParent(focus) == box ? GetDlgCtrlID(focus) : 0;
  return ButtonOf(box, id) ? id : 0;
}

// A plain window forgets which child had the focus: activation gives the focus to the box
// itself, and Enter there would then press no button of the box. Like a dialog, the box keeps
// the focus on the button that had it, or else on the default button.
void RememberFocusedButton(HWND box) {
  if (const int id = FocusedButtonId(box)) SetWindowLongPtrW(box, GWLP_USERDATA, id);
}

bool PassFocusToButton(HWND box) {
  HWND button = ButtonOf(box, static_cast<int>(GetWindowLongPtrW(box, GWLP_USERDATA)));
  if (!button) button = ButtonOf(box, DefaultButtonId(box));
  if (!button) return false;
  SetFocus(button);
  return true;
}

// Returns false for messages left to the default procedure; `reply` is the answer otherwise.
bool HandleBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& reply) {
  reply = 0;
  switch (message) {
    case WM_CLOSE:
      PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      return true;
    case WM_COMMAND:
      // Only commands with notification 0 end the loop. Posting others back would make
      // them circle between the loop and this procedure for ever. Enter without a default
      // button asks for IDOK, which a Yes/No box does not have: only the box's own buttons
      // and IDCANCEL (Esc, the close box) answer it.
      if (HIWORD(wParam) == 0) {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL || ButtonOf(box, id)) PostMessageW(box, WM_COMMAND, wParam, lParam);
        return true;
      }
      return false;
    case DM_GETDEFID:
      // Enter presses the focused button, else the default one.
      if (int id = FocusedButtonId(box); id != 0 || (id = DefaultButtonId(box)) != 0) reply = MAKELONG(id, DC_HASDEFID);
      return true;
    case DM_SETDEFID:
      MakeDefaultButton(box, static_cast<int>(wParam));
      reply = TRUE;
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) RememberFocusedButton(box);
      return false;
    case WM_SETFOCUS:
      return PassFocusToButton(box);
    default:
      return false;
  }
}

LRESULT CALLBACK MessageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  LRESULT reply = 0;
  if (!GuardCallback([&] { handled = HandleBoxMessage(box, message, wParam, lParam, reply); })) return 0;
  return handled ? reply : DefWindowProcW(box, message, wParam, lParam);
}

// Registers the class for `instance`. A class left behind by an earlier load of the module
// points at a procedure that may no longer exist: it is replaced.
bool RegisterBoxClass(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
  wc.lpfnWndProc = MessageBoxProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kClassName;
  if (RegisterClassW(&wc)) return true;
  if (GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  WNDCLASSW existing{};
  if (GetClassInfoW(instance, kClassName, &existing) && existing.lpfnWndProc == MessageBoxProc) return true;
  UnregisterClassW(kClassName, instance);
  return RegisterClassW(&wc) != 0;
}

LPCWSTR StandardIcon(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::Hand:
      return MAKEINTRESOURCEW(32513);  // IDI_HAND
    case MessageBoxIcon::Question:
      return MAKEINTRESOURCEW(32514);  // IDI_QUESTION
    case MessageBoxIcon::Exclamation:
      return MAKEINTRESOURCEW(32515);  // IDI_EXCLAMATION
    case MessageBoxIcon::Asterisk:
      return MAKEINTRESOURCEW(32516);  // IDI_ASTERISK
    case MessageBoxIcon::None:
      break;
  }
  return nullptr;
}

// The box window and its children: hidden first, then destroyed children first.
struct BoxWindows {
  BoxWindows() = default;
  BoxWindows(const BoxWindows&) = delete;
  BoxWindows& operator=(const BoxWindows&) = delete;
  ~BoxWindows() {
    if (box) ShowWindow(box.Get(), SW_HIDE);
  }

  // Members go in reverse order: the text, the icon, the buttons, then the box.
  WindowHandle box;
  std::array<WindowHandle, 3> buttons;
  WindowHandle icon;
  WindowHandle text;
};

// The text is UTF-8; it is measured as the wide text the box shows.
SIZE MeasureText(HDC dc, const char* text, std::size_t length) {
  SIZE size{0, 0};
  const std::wstring wide = WideFromUtf8(std::string_view(text, length));
  if (dc) GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size;
}

HFONT CreateBoxFont() {
  LOGFONTW lf{};
  lf.lfHeight = -8;
  lf.lfWeight = 100;
  // The shell's dialog face links to fonts with the glyphs of other scripts.
  std::wcscpy(lf.lfFaceName, L"MS Shell Dlg");
  return CreateFontIndirectW(&lf);
}

// Takes the box's queued messages until a button command arrives; true when one did.
bool TakeBoxMessages(HWND box, int& result) {
  MSG msg;
  while (PeekMessageW(&msg, box, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_COMMAND && HIWORD(msg.wParam) == 0) {
      result = LOWORD(msg.wParam);
      return true;
    }
    // The desktop can take the activation away between a key and its turn here; the key
    // then goes to the button that had the focus rather than to none.
    if (msg.message == WM_KEYDOWN && !GetFocus()) PassFocusToButton(box);
    if (!IsDialogMessageW(box, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return false;
}

}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, unsigned flags, UINT quitLow, UINT quitHigh) {
  std::string message = text ? text : "";
  HINSTANCE instance = owner ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)) : nullptr;
  if (!instance) instance = GetModuleHandleW(nullptr);
  if (!RegisterBoxClass(instance)) return 0;

  POINT origin{0, 0};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (owner && GetWindowPlacement(owner, &placement))
    origin = {placement.rcNormalPosition.left, placement.rcNormalPosition.top};

  const bool systemMenu = HasSystemMenu(flags);
  FontHandle font;  // outlives every window that uses it
  BoxWindows windows;
  windows.box.Reset(
      CreateWindowExW(systemMenu ? WS_EX_DLGMODALFRAME : 0, kClassName, L"?",
                      WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | (systemMenu ? WS_SYSMENU : 0), origin.x,
                      origin.y, 0, 0, owner, nullptr, instance, nullptr));
  if (!windows.box) return 0;
  HWND box = windows.box.Get();
  font.Reset(CreateBoxFont());
  const WPARAM fontParam = reinterpret_cast<WPARAM>(font.Get());
  SendMessageW(box, WM_SETFONT, fontParam, FALSE);

  const MessageBoxIcon icon = IconForFlags(flags);
  if (icon != MessageBoxIcon::None) {
    windows.icon.Reset(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON, 0, 0, 0, 0, box, nullptr,
                                       instance, nullptr));
    if (windows.icon)
      PostMessageW(windows.icon.Get(), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, StandardIcon(icon))),
                   0);
  }

  // Measured in the box's own device context with its default font, as one line first.
  MessageBoxGeometry geometry;
  const MessageBoxButtons buttons = ButtonsForFlags(flags);
  {
    WindowDc dc(box);
    TEXTMETRICW metrics{};
    if (dc.Get()) GetTextMetricsW(dc.Get(), &metrics);
    const SIZE oneLine = MeasureText(dc.Get(), message.c_str(), message.size());
    WrapMessageText(message, WrapLineLength(message.size(), oneLine.cx));
    const TextLines lines = SplitLines(message);
    const SIZE longest = MeasureText(dc.Get(), message.c_str() + lines.longestStart, lines.longestLength);
    geometry =
        LayoutMessageBox(static_cast<bool>(windows.icon), longest.cx, lines.count, metrics.tmHeight, buttons.count);
  }

  // SS_NOPREFIX: an ampersand in a path is shown as it is, not as a mnemonic.
  windows.text.Reset(CreateWindowExW(0, L"STATIC", WideFromUtf8(message).c_str(),
                                     WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, geometry.textX, geometry.textY,
                                     geometry.textWidth, geometry.textHeight, box,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(0xFFFF)), instance, nullptr));
  if (windows.text) SendMessageW(windows.text.Get(), WM_SETFONT, fontParam, FALSE);
  if (windows.icon)
    SetWindowPos(windows.icon.Get(), nullptr, geometry.iconX, geometry.iconY, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  const int defaultIndex = DefaultButtonIndex(flags, buttons.count);
  for (int i = 0; i < buttons.count; ++i) {
    const DWORD kind = i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    HWND button = CreateWindowExW(
        0, L"BUTTON", WideFromUtf8(buttons.buttons[i].caption).c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | kind, 0, 0,
        MessageBoxGeometry::kButtonWidth, MessageBoxGeometry::kButtonHeight, box,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttons.buttons[i].id)), instance, nullptr);
    windows.buttons[i].Reset(button);
    if (!button) continue;
    SendMessageW(button, WM_SETFONT, fontParam, FALSE);
    if (i == defaultIndex) SetFocus(button);
  }

  SetWindowPos(box, nullptr, 0, 0, geometry.windowWidth, geometry.windowHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < buttons.count; ++i)
    if (windows.buttons[i])
      SetWindowPos(windows.buttons[i].Get(), nullptr, geometry.buttonX[i], geometry.buttonY, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextW(box, WideFromUtf8(caption ? caption : "").c_str());
  ShowWindow(box, SW_SHOW);
  SetForegroundWindow(box);

  const bool watchQuit = quitLow != 0 || quitHigh != 0;
  UINT low = quitLow, high = quitHigh != 0 ? quitHigh : quitLow;
  if (high < low) std::swap(low, high);

  int result = 0;
  for (;;) {
    const bool chosen = TakeBoxMessages(box, result);
    MSG waiting;
    if (watchQuit && PeekMessageW(&waiting, nullptr, low, high, PM_NOREMOVE)) {
      result = -1;
      break;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kWaitMs, QS_ALLINPUT);
    if (chosen) break;
  }
  return result;
}

}  // namespace tarnix
