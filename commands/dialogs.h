#pragma once
// The options and About dialogs and the one dialog procedure that all four modeless dialogs
// of the plug-in share (it tells them apart by window handle).

#include <windows.h>

namespace tarnix {

INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowOptionsDialog();
void OptionsOk();

}  // namespace tarnix
