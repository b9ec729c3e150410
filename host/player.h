#pragma once
// Player: the requests the plug-in makes of the player, typed, over SendToPlayer. Every call can
// throw SendMsgException (see messaging.h). Text results are copied at once, because the player
// owns the memory behind the pointers it returns and may reuse it with the next request.

#include "tracklist/text_string.h"

#include <windows.h>

#include <optional>

namespace tarnix {

// Whether the player answers the wide entry requests. An older player answers them with 0; once
// that is known the narrow ones are asked at once, not after a wasted wide request on every tick.
enum class WideEntryTexts { kUnknown, kAnswered, kMissing };

class Player {
 public:
  // `wide` remembers what the player said about the wide requests across Player objects; without
  // one the wide requests are tried on every call.
  explicit Player(HWND mainWindow, WideEntryTexts* wide = nullptr) : window_(mainWindow), wide_(wide) {}

  HWND Window() const { return window_; }

  bool IsPlaying() const;                     // 104: false while stopped
  int OutputTimeMs() const;                   // 105: negative when nothing plays
  int LengthMs() const;                       // 105 with wParam 1 (seconds): -1 when unknown
  void JumpToTime(int ms) const;              // 106
  void SetPlaylistPosition(int index) const;  // 121
  int PlaylistLength() const;                 // 124
  int PlaylistPosition() const;               // 125: negative when there is none
  // 201: the skin directory (narrow, in the code page; returned as UTF-8); empty when the player
  // has none, nullopt when it left the buffer untouched.
  std::optional<TextString> SkinDirectory() const;
  // The entry's path and title as UTF-8: 214 and 213 first, else 211 and 212 converted from the
  // code page. Empty for a null answer.
  TextString PlaylistFile(int index) const;
  TextString PlaylistTitle(int index) const;
  void SendCommand(WPARAM id) const;  // WM_COMMAND with lParam 0
  // Where the player keeps its settings, as UTF-8: 1335 and 1334 first, else 335 and 334
  // converted from the code page. Empty when the player does not answer: 0 or 1, an empty text,
  // a pointer to memory that cannot be read or a text without an end within kMaxPlayerText.
  TextString IniDirectory() const;  // the folder of the player's ini file
  TextString IniFile() const;       // the full path of the player's ini file
  // 65536: the request code the player registered under `name` (a text that lives as long as the
  // DLL: the player may keep it); 0 when it has none, an older player, or when its answer is not
  // a registered code (at most 32 bits, above the register request's own).
  LPARAM RegisteredCode(const char* name) const;
  // WM_USER with `code` from RegisteredCode and `data` in wParam; the player's answer is ignored.
  void SendRegistered(LPARAM code, const void* data) const;

 private:
  LRESULT Request(WPARAM wParam, LPARAM code) const;
  TextString EntryText(int index, LPARAM wideCode, LPARAM narrowCode) const;
  TextString CheckedText(LPARAM wideCode, LPARAM narrowCode) const;

  HWND window_;
  WideEntryTexts* wide_;
};

// Longest text copied from a pointer the player returns; the rest of a runaway text is dropped.
constexpr int kMaxPlayerText = 32768;

}  // namespace tarnix
