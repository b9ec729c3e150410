#pragma once
// InteractivePlayer: the stand-in player's controls for a person at a desktop. A small window
// beside the plug-in with the playlist (double click plays an entry), Play, Stop and seek
// buttons, and a status line with the play position and the plug-in's playing row. It lives on
// the player's thread and drives the StandInPlayer through its public operations only.

#include "demo/plugin_settings.h"
#include "testhost/stand_in_player.h"

#include <windows.h>

#include <vector>

namespace tarnix::demo {

class InteractivePlayer {
 public:
  InteractivePlayer(PluginSession& session, std::vector<testhost::PlaylistEntry> playlist, POINT at);
  ~InteractivePlayer();
  InteractivePlayer(const InteractivePlayer&) = delete;
  InteractivePlayer& operator=(const InteractivePlayer&) = delete;

  HWND Window() const { return window_; }
  // Pumps the thread's messages until the window is closed; false when it never opened.
  bool Run();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void OnCommand(WORD id, WORD code);
  void SeekBy(int deltaMs);
  void RefreshStatus();

  PluginSession& session_;
  std::vector<testhost::PlaylistEntry> playlist_;
  HWND window_ = nullptr;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HFONT font_ = nullptr;  // the system's GUI font: a stock object, never deleted
};

}  // namespace tarnix::demo
