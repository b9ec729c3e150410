#pragma once
// The plug-in's process-wide objects: what the UI thread owns for the plug-in's whole life
// (windows, menus, dialogs, the skin memory DC, the timer, the hooks, the frame and its
// widgets) and the few single-word values the player's thread may read, which are atomics
// (relaxed order: each is read on its own, nothing else is published through them). Every other
// thread reads only what is marked so; everything else belongs to the UI thread.

#include <windows.h>

#include <atomic>

#include "host/player_codes.h"

namespace tarnix {

class SkinFrame;
class TitleDisplay;
class TrackListView;
class SkinScrollBar;
class TrackList;

struct PluginGlobals {
  // Written by the player into the descriptor before init.
  HWND playerWindow = nullptr;  // the player's main window
  HINSTANCE instance = nullptr;  // this DLL

  HANDLE uiThread = INVALID_HANDLE_VALUE;
  DWORD uiThreadId = 0;

  HWND pluginWindow = nullptr;
  HMENU menu = nullptr;          // menu resource 102
  HMENU bkgMenu = nullptr;       // menu bar position 0
  HMENU menuMenu = nullptr;      // 1
  HMENU addMenu = nullptr;       // 2
  HMENU prevMenu = nullptr;      // 3
  HMENU nextMenu = nullptr;      // 4
  HMENU contextMenu = nullptr;   // 5
  HMENU fileMenu = nullptr;      // position 3 of "Bkg"

  HWND trackDialog = nullptr;     // 110 "Tarnix - Edit track"
  HWND subtrackDialog = nullptr;  // 103 "Edit subtrack"
  HWND optionsDialog = nullptr;   // 104
  HWND aboutDialog = nullptr;     // 105

  HDC skinDC = nullptr;
  UINT_PTR timerId = 0;  // 0 while no timer runs
  HHOOK callWndProcHook = nullptr;
  HHOOK getMessageHook = nullptr;

  // Set while the loop forwards Ctrl+Tab to the player; cleared by the hook filter.
  std::atomic<bool> ctrlTabForwarding{false};
  static_assert(std::atomic<bool>::is_always_lock_free, "the hook filter must never wait");

  SkinFrame* frame = nullptr;
  TitleDisplay* title = nullptr;
  TrackListView* list = nullptr;
  SkinScrollBar* scrollBar = nullptr;
};

extern PluginGlobals g_plugin;

// The current track list document (UI thread only).
TrackList& CurrentList();

}  // namespace tarnix
