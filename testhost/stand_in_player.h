#pragma once
// StandInPlayer: a player main window for tests. It answers the player's request codes and
// commands from a playlist and a playback clock that runs in real time, signals the end of a file
// to its own window the way a player does, records every request, and can be made slow or silent
// on purpose. The window belongs to the thread that constructs the object; that thread has to
// pump messages (see PumpUntil, or StandInPlayerThread for a player on a thread of its own).
// The public operations are thread-safe.

#include "testhost/request_log.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tarnix::testhost {

// Path and title are UTF-8 (a text that is not valid UTF-8 is taken in the code page). The
// player holds them wide, as a player does, and answers the narrow requests with their
// code-page conversion, "?" for each character the code page cannot hold.
struct PlaylistEntry {
  std::string path;
  std::string title;
  int lengthMs = 0;  // 0: the file never ends
};

enum class PlayState { kStopped, kPlaying, kPaused };

// What the player does once its window got the end-of-file message.
enum class EndOfFileAction { kStop, kAdvance };

struct StandInPlayerOptions {
  int x = 100;
  int y = 100;
  int width = 275;
  int height = 116;
  bool visible = true;
  std::string title = "Stand-in Player";
};

// Where the player says it keeps its settings (requests 334, 335 and the wide 1334, 1335), UTF-8.
struct PlayerIniPlaces {
  std::string directory;  // 335 and 1335: the folder of the player's ini file
  std::string file;       // 334 and 1334: the ini file's full path
  bool wide = true;       // false: 1334 and 1335 answer 0, as from a player that has only the narrow ones
  // Every one of the four answers this instead (1, a pointer into nothing, ...), when set.
  std::optional<LRESULT> bogus;
};

// A record the player's hotkeys registry received (see HotkeyRecord in host/player_codes.h),
// with the texts copied.
struct RegisteredHotkey {
  std::wstring name;  // a narrow name is converted from the code page
  DWORD flags = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::string id;
  HWND window = nullptr;
  bool extendedZero = false;  // the six ints at its end are all 0
};

// The colour the player paints its client area with (for capture tests).
constexpr COLORREF kStandInPlayerColour = RGB(0x20, 0x40, 0x80);

// Answers that a request this player takes kSlowAnswerMs to answer misses one guarded-send attempt.
constexpr DWORD kSlowAnswerMs = 1150;

class StandInPlayer {
 public:
  explicit StandInPlayer(const StandInPlayerOptions& options = {});
  ~StandInPlayer();
  StandInPlayer(const StandInPlayer&) = delete;
  StandInPlayer& operator=(const StandInPlayer&) = delete;

  HWND Window() const { return window_; }
  DWORD ThreadId() const { return threadId_; }
  RequestLog& Log() { return log_; }

  // Playlist. Text pointers handed out by codes 211 to 214 stay valid until the player is gone.
  void SetPlaylist(std::vector<PlaylistEntry> entries);  // current entry 0 (or none), stopped
  void AddEntry(PlaylistEntry entry);
  // What the player tells of an entry's length from now on (0: unknown), as a player does once
  // the file is open; ignored outside the playlist.
  void SetEntryLength(int index, int lengthMs);
  int PlaylistLength() const;
  int PlaylistPosition() const;
  void SetPlaylistPosition(int index);  // ignored outside the playlist

  // Playback clock.
  void Play();   // the current entry from its start (code 104 then answers 1)
  void Pause();  // toggles between playing and paused (paused: code 104 answers 3)
  void Stop();
  void Seek(int ms);  // ignored while stopped
  PlayState State() const;
  int PositionMs() const;  // -1 while stopped
  void SetEndOfFileAction(EndOfFileAction action);
  // Whether the end-of-file message is sent rather than posted (posted by default).
  void SetEndOfFileSent(bool sent);
  int EndOfFileCount() const;
  // When an entry starts, the player sends its own main window the two playing-file notices
  // (WM_USER with lParam 3003, wParam the narrow path, then 13003 with the wide path), as the
  // player does; on by default. Off, the player is one that sends no notice. Notices are not
  // logged; PlayingNoticeCount counts them.
  void SetPlayingNotices(bool on);
  int PlayingNoticeCount() const;

  // On by default; off, the player is an older one that answers 213 and 214 with 0.
  void SetWideEntryTexts(bool on);

  // The register request (65536) and the hotkeys registry: on by default, the player hands out a
  // code per name (above 65536) and keeps the records sent with the registry's code. Off, it is
  // an older player that answers the register request with 0.
  void SetNameRegistry(bool on);
  // Every register request answers this instead, when set (a player that answers by mistake).
  void SetRegisterAnswer(std::optional<LRESULT> answer);
  LPARAM RegisteredCode(const std::string& name) const;  // 0: not registered (yet)
  std::vector<RegisteredHotkey> Hotkeys() const;

  // The answers to the settings requests; nullopt (the default) answers 0, as an older player.
  // The texts stay valid until the player is gone.
  void SetIniPlaces(std::optional<PlayerIniPlaces> places);

  // Skin directory written for code 201; nullopt leaves the buffer untouched. A text of 260
  // bytes or more fills the whole buffer without a terminator, like a careless player.
  void SetSkinDirectory(std::optional<std::string> directory);

  // Slow and silent modes, for the sender's time-outs.
  void SetReplyDelay(DWORD ms);    // each request answered after ms
  void SetSlowAnswers(int count);  // the next count requests take kSlowAnswerMs each
  void SetSilent(bool silent);     // requests are not answered until silence ends
  bool CloseRequested() const;     // command 40001 or WM_CLOSE arrived

  // Runs on the player's thread for each logged request once it is recorded and before it is
  // answered, so that a test can change the player at an exact point of a conversation. An
  // empty function removes it.
  void SetRequestHook(std::function<void(const PlayerRequest&)> hook);

  // The main window as the user handles it. Called from another thread, these wait until the
  // player's thread has handled them. A move reaches the window procedure as WM_MOVE.
  bool Move(int x, int y);
  void Minimise();  // placement show state SW_SHOWMINIMIZED
  void Restore();   // shown normally again, at its normal position
  // Makes the main window the foreground window (the plug-in follows moves only then).
  bool BringToFront();
  RECT Rect() const;      // the window rectangle on the screen
  int MoveCount() const;  // WM_MOVE messages the window got, its creation included

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Record(UINT message, WPARAM wParam, LPARAM lParam);
  void HoldAnswer();
  LRESULT Answer(WPARAM wParam, LPARAM code);
  void Command(WORD id);
  void EndOfFile();
  void CheckEnd();
  // Sends the notices of an entry started since the last call; from another thread, has the
  // player's thread send them.
  void AnnounceStart();

  // Caller holds mutex_.
  int PositionLocked() const;
  void StartLocked(int index);
  void SignalEndLocked();

  // An entry with the texts the player hands out.
  struct HeldEntry : PlaylistEntry {
    explicit HeldEntry(PlaylistEntry entry);
    std::wstring widePath, wideTitle;
    std::string narrowPath, narrowTitle;
  };
  using Playlist = std::vector<HeldEntry>;
  // The settings places with the texts the player hands out.
  struct HeldIniPlaces : PlayerIniPlaces {
    explicit HeldIniPlaces(PlayerIniPlaces places);
    std::wstring wideDirectory, wideFile;
    std::string narrowDirectory, narrowFile;
  };
  LRESULT AnswerIniPlace(LPARAM code) const;  // caller holds mutex_
  LRESULT RegisterName(const char* name);     // caller holds mutex_
  LPARAM RegisteredCodeLocked(const std::string& name) const;
  void KeepHotkey(const void* record);  // caller holds mutex_

  HWND window_ = nullptr;
  DWORD threadId_ = 0;
  RequestLog log_;
  HANDLE answering_ = nullptr;  // manual-reset event, set while not silent

  mutable std::mutex mutex_;
  std::shared_ptr<Playlist> playlist_;
  std::vector<std::shared_ptr<Playlist>> retired_;  // keeps handed-out text pointers valid
  int position_ = -1;
  PlayState state_ = PlayState::kStopped;
  int clockBaseMs_ = 0;
  std::int64_t clockStartedAt_ = 0;
  bool endSignalled_ = false;
  bool endSent_ = false;
  EndOfFileAction endAction_ = EndOfFileAction::kStop;
  int endCount_ = 0;
  bool noticesOn_ = true;
  bool wideTexts_ = true;
  bool startPending_ = false;
  int noticeCount_ = 0;
  std::shared_ptr<HeldIniPlaces> iniPlaces_;
  std::vector<std::shared_ptr<HeldIniPlaces>> retiredIniPlaces_;  // keeps handed-out texts valid
  std::optional<std::string> skinDirectory_ = std::string();      // no skin: the built-in look
  DWORD replyDelayMs_ = 0;
  int slowAnswers_ = 0;
  bool closeRequested_ = false;
  int moveCount_ = 0;
  bool nameRegistry_ = true;
  std::optional<LRESULT> registerAnswer_;
  std::map<std::string, LPARAM> registeredNames_;
  std::vector<RegisteredHotkey> hotkeys_;
  std::function<void(const PlayerRequest&)> requestHook_;
};

}  // namespace tarnix::testhost
