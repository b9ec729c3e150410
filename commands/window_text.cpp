#include "commands/window_text.h"

#include <string>

#include "win32/utf16.h"

namespace tarnix {

TextString WindowText(HWND window) {
  if (!window) return TextString();
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return TextString();
  // The length may be larger than the text (a control may count its text generously): the copy
  // says how much it wrote.
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, &wide[0], length + 1);
  wide.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  const std::string utf8 = Utf8FromWide(wide);
  return TextString(static_cast<int>(utf8.size()), utf8.data());
}

void SetWindowTextUtf8(HWND window, const TextString& text) {
  if (window) SetWindowTextW(window, WideFromUtf8(std::string_view(text.Data(), text.Length())).c_str());
}

TextString DialogItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetDialogItemText(HWND dialog, int id, const TextString& text) { SetWindowTextUtf8(GetDlgItem(dialog, id), text); }

}  // namespace tarnix
