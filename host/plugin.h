#pragma once
// Plugin: the one owner of everything the UI thread holds for the plug-in's life. StartUp
// (plugin/ui_thread.h) makes it when the UI thread starts and ShutDown destroys it when the thread
// ends; in between, the loop, the window procedure, the commands and the dialogs reach it through
// ThePlugin(). Members are declared in the order start-up builds them, so that destroying them in
// reverse is the shutdown order: the hooks, the frame with its widgets, the skin bitmap, the
// menus, the dialogs, and last the window. The values the player's thread reads are
// not here but in g_shared (host/shared_with_player.h).

#include <windows.h>

#include <cstdint>
#include <memory>

#include "host/playback_state.h"
#include "host/settings.h"
#include "host/shared_with_player.h"
#include "listening/listening_state.h"
#include "skin/skin_frame.h"
#include "tracklist/dir_index.h"
#include "tracklist/track_list.h"
#include "tracklist/unsaved_lists.h"
#include "win32/handles.h"

namespace tarnix {

class TitleDisplay;
class TrackListView;
class SkinScrollBar;

// Menu resource 102 and its sub-menus (which are destroyed with it).
struct PluginMenus {
  MenuHandle resource;
  HMENU bkg = nullptr;      // menu bar position 0
  HMENU menu = nullptr;     // 1
  HMENU add = nullptr;      // 2
  HMENU prev = nullptr;     // 3
  HMENU next = nullptr;     // 4
  HMENU context = nullptr;  // 5
  HMENU file = nullptr;     // position 3 of "Bkg"
};

// The skin image (the frame selects it only while it paints), and when the skin last changed.
struct AdoptedSkin {
  BitmapHandle bitmap;
  uint64_t time = 0;  // last-write time of the skin's "Main.bmp" as last seen
  bool timeStored = false;
};

// What the two editing dialogs show, and the subtrack dialog's bookkeeping.
struct EditingState {
  ItemId item = kNoItem;  // shown in "Edit subtrack"; -1 while hidden
  int32_t track = -1;     // 1-based track in "Edit track"; -1 while hidden
  // Above 0 while the program itself writes the subtrack fields: their changes are no edits.
  int fieldUpdates = 0;
  // The time fields' texts as they stood when the subtrack's time last followed them.
  TextString appliedTime[3];
};

class Plugin {
 public:
  Plugin();
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  // Documents and values; built first, gone last.
  Settings settings;
  PlaybackState playback;
  TrackList trackList;
  EditingState editing;
  // What the directory search needs of every list in the bookmark directory.
  DirectoryIndex bookmarkIndex;
  // Resume positions, the pending stop and the progress shown (host/listening_tick.h).
  listening::ListeningState listening;
  UnsavedLists unsavedEdits;  // edits whose save failed, kept until their lists can be written

  // Windows and their resources, in start-up order.
  WindowHandle window;  // the PluginWindow, class "TarnixPluginWindow"
  WindowHandle aboutDialog;
  WindowHandle optionsDialog;
  WindowHandle subtrackDialog;
  WindowHandle trackDialog;
  PluginMenus menus;
  AdoptedSkin skin;
  // The frame owns its widgets; the three pointers name the ones the commands use.
  std::unique_ptr<SkinFrame> frame;
  TitleDisplay* title = nullptr;
  TrackListView* list = nullptr;
  SkinScrollBar* scrollBar = nullptr;
  UINT_PTR timerId = 0;  // 0 while no timer runs
  // Brings the open editing dialogs to a list that replaced the one they showed. Start-up sets
  // it (commands/editing.h), so that the playback code below the commands needn't know them.
  void (*listReplaced)() = nullptr;
  HookHandle callWndProcHook;
  HookHandle getMessageHook;
};

// The running plug-in; only on the UI thread between StartUp and ShutDown.
Plugin& ThePlugin();
// The running plug-in or null, for shutdown after a start-up that failed early.
Plugin* CurrentPlugin();
// Makes the running plug-in (start-up) and destroys it (shutdown).
Plugin& CreatePlugin();
void DestroyPlugin();

}  // namespace tarnix
