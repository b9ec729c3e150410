#pragma once
// The text of windows and dialog fields as UTF-8, through the wide calls, so that whatever is
// typed or shown keeps every character.

#include <windows.h>

#include "tracklist/text_string.h"

namespace tarnix {

// The window's whole text; empty for no window.
TextString WindowText(HWND window);
void SetWindowTextUtf8(HWND window, const TextString& text);
TextString DialogItemText(HWND dialog, int id);
void SetDialogItemText(HWND dialog, int id, const TextString& text);

}  // namespace tarnix
