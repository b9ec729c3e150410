#pragma once
// Player: the requests the plug-in makes of the player, typed, over SendToPlayer. Every call can
// throw SendMsgException (see messaging.h). Text results are copied at once, because the player
// owns the memory behind the pointers it returns and may reuse it with the next request.

#include "tracklist/text_string.h"

#include <windows.h>

#include <optional>

namespace tarnix {

class Player {
 public:
  explicit Player(HWND mainWindow) : window_(mainWindow) {}

  HWND Window() const { return window_; }

  bool IsPlaying() const;                     // 104: false while stopped
  int OutputTimeMs() const;                   // 105: negative when nothing plays
  int LengthMs() const;                       // 105 with wParam 1 (seconds): -1 when unknown
  void JumpToTime(int ms) const;              // 106
  void SetPlaylistPosition(int index) const;  // 121
  int PlaylistLength() const;                 // 124
  int PlaylistPosition() const;               // 125: negative when there is none
  // 201: the skin directory; empty when the player has none, nullopt when it left the buffer
  // untouched.
  std::optional<TextString> SkinDirectory() const;
  TextString PlaylistFile(int index) const;   // 211: empty for a null answer
  TextString PlaylistTitle(int index) const;  // 212: empty for a null answer
  void SendCommand(WPARAM id) const;          // WM_COMMAND with lParam 0

 private:
  LRESULT Request(WPARAM wParam, LPARAM code) const;
  TextString RequestText(WPARAM wParam, LPARAM code) const;

  HWND window_;
};

// Longest text copied from a pointer the player returns; the rest of a runaway text is dropped.
constexpr int kMaxPlayerText = 32768;

}  // namespace tarnix
