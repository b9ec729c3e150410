#include "commands/window_text.h"

#include <string>

#include "tracklist/platform.h"
#include "win32/utf16.h"

namespace tarnix {

TextString WindowText(HWND window) { return FromWindowText(window); }

void SetWindowTextUtf8(HWND window, const TextString& text) {
  if (window) SetWindowTextW(window, WideFromUtf8(std::string_view(text.Data(), text.Length())).c_str());
}

TextString DialogItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetDialogItemText(HWND dialog, int id, const TextString& text) { SetWindowTextUtf8(GetDlgItem(dialog, id), text); }

}  // namespace tarnix
