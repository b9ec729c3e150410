#pragma once
// Plugin: the one owner of everything the UI thread holds for the plug-in's life. StartUp
// (plugin/ui_thread.h) makes it when the UI thread starts and ShutDown destroys it when the thread
// ends; in between it is handed down as a parameter: the loop gets it from start-up, the window
// procedure finds it through its window (GWLP_USERDATA, stored at WM_NCCREATE), each dialog
// through its creation parameter, the widgets' callbacks by binding, and the commands and the
// session code take it from them. Its members are private: code reaches the documents and the
// window's parts through the accessors, and only start-up and shutdown build them. Members are
// declared in the order start-up builds them, so that destroying them in reverse is the shutdown
// order: the hooks, the frame with its widgets, the skin bitmap, the menus, the dialogs,
// and last the window. The values the player's thread reads are not here but in
// Shared() (host/shared_with_player.h), its only way into the plug-in's state.

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>

#include "host/playback_state.h"
#include "host/recording_save.h"
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
// accessibility/window_accessibility.h, a floor above: start-up makes it and hands its deleter.
class WindowAccessibility;

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

  // The documents, for the life of the Plugin.
  Settings& settings() { return settings_; }
  const Settings& settings() const { return settings_; }
  PlaybackState& playback() { return playback_; }
  const PlaybackState& playback() const { return playback_; }
  TrackList& trackList() { return trackList_; }
  const TrackList& trackList() const { return trackList_; }
  EditingState& editing() { return editing_; }
  const EditingState& editing() const { return editing_; }
  DirectoryIndex& bookmarkIndex() { return bookmarkIndex_; }
  tarnix::listening::ListeningState& listening() { return listening_; }
  const tarnix::listening::ListeningState& listening() const { return listening_; }
  UnsavedLists& unsavedEdits() { return unsavedEdits_; }
  // The chapter save running off the UI thread and the ones waiting for the player to let go.
  RecordingSave& recordingSave() { return recordingSave_; }
  const RecordingSave& recordingSave() const { return recordingSave_; }

  // The window and what belongs to it; null before start-up made them and after shutdown.
  HWND window() const { return window_.Get(); }
  HWND aboutDialog() const { return aboutDialog_.Get(); }
  HWND optionsDialog() const { return optionsDialog_.Get(); }
  HWND subtrackDialog() const { return subtrackDialog_.Get(); }
  HWND trackDialog() const { return trackDialog_.Get(); }
  // The four modeless dialogs, for the loop's IsDialogMessageW and the cancelling at quit.
  std::array<HWND, 4> dialogs() const { return {trackDialog(), subtrackDialog(), optionsDialog(), aboutDialog()}; }
  const PluginMenus& menus() const { return menus_; }
  AdoptedSkin& skin() { return skin_; }
  SkinFrame* frame() const { return frame_.get(); }
  TitleDisplay* title() const { return title_; }
  TrackListView* list() const { return list_; }
  // What screen readers are told of the window; null before the widgets exist and after shutdown.
  WindowAccessibility* accessibility() const { return accessibility_.get(); }

  // The tick's timer on the window (host/timer_ids.h): (re)started with the next interval,
  // stopped before a tick runs at once. Nothing happens without a window.
  void StartTickTimer(UINT intervalMs);
  void StopTickTimer();
  // Brings the open editing dialogs to a list that replaced the one they showed, as start-up
  // told it (commands/editing.h), so that the playback code below the commands needn't know them.
  void ListReplaced() {
    if (listReplaced_) listReplaced_(*this);
  }

 private:
  // Start-up and shutdown (plugin/ui_thread.cpp) build and take down the members in order.
  friend class PluginLifetime;

  // Documents and values; built first, gone last.
  Settings settings_;
  PlaybackState playback_;
  TrackList trackList_;
  EditingState editing_;
  // What the directory search needs of every list in the bookmark directory.
  DirectoryIndex bookmarkIndex_;
  // Resume positions, the pending stop and the progress shown (listening_playback/listening_tick.h).
  tarnix::listening::ListeningState listening_;
  UnsavedLists unsavedEdits_;    // edits whose save failed, kept until their lists can be written
  RecordingSave recordingSave_;  // joins its thread when it goes, after the window

  // Windows and their resources, in start-up order.
  WindowHandle window_;  // the PluginWindow, class "TarnixPluginWindow"
  WindowHandle aboutDialog_;
  WindowHandle optionsDialog_;
  WindowHandle subtrackDialog_;
  WindowHandle trackDialog_;
  PluginMenus menus_;
  AdoptedSkin skin_;
  // The frame owns its widgets; the three pointers name the ones the commands use.
  std::unique_ptr<SkinFrame> frame_;
  TitleDisplay* title_ = nullptr;
  TrackListView* list_ = nullptr;
  SkinScrollBar* scrollBar_ = nullptr;
  std::unique_ptr<WindowAccessibility, void (*)(WindowAccessibility*)> accessibility_{nullptr, nullptr};
  UINT_PTR timerId_ = 0;  // 0 while no timer runs
  void (*listReplaced_)(Plugin&) = nullptr;
  HookHandle callWndProcHook_;
  HookHandle getMessageHook_;
};

// The running plug-in, for the in-process tests, whose thread is the UI thread; the product's code
// is handed its Plugin. Only on the UI thread between StartUp and ShutDown: builds with
// TARNIX_THREAD_CHECKS stop at once when another thread asks.
Plugin& ThePlugin();
// The running plug-in or null, for shutdown, which also follows a start-up that failed early
// (before it could hand its Plugin back). UI thread only, checked as ThePlugin() is.
Plugin* CurrentPlugin();
// Makes the running plug-in (start-up) and destroys it (shutdown).
Plugin& CreatePlugin();
void DestroyPlugin();

}  // namespace tarnix
