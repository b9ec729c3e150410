#include "testhost/stand_in_player.h"

#include "host/messaging.h"
#include "host/player_codes.h"
#include "testhost/wide_names.h"
#include "testhost/window_class.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <mutex>
#include <utility>

namespace tarnix::testhost {

namespace {

constexpr const char* kPlayerClass = "TarnixStandInPlayer";
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockTickMs = 10;
constexpr UINT kMsgDeliverEndOfFile = WM_APP + 1;
constexpr UINT kMsgAnnounceStart = WM_APP + 2;
// A silent player gives up its silence after this long, so that a forgotten SetSilent(false)
// cannot hang a test run for ever.
constexpr DWORD kSilenceLimitMs = 120000;

// The register request's codes start here; names and ids are read up to this many units.
constexpr LPARAM kFirstRegisteredCode = kCodeRegisterName + 100;
constexpr size_t kMaxRegisteredName = 1024;

// Commands beyond the ones the plug-in uses, for tests that drive the player like a user.
constexpr WORD kCmdPrevious = 40044;
constexpr WORD kCmdPause = 40046;
constexpr WORD kCmdNext = 40048;

std::string CodePageOf(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int units = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string();
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), units, narrow.data(), bytes, "?", nullptr);
  return narrow;
}

bool IsLoggedMessage(UINT message) {
  switch (message) {
    case WM_USER:
    case WM_COMMAND:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_CLOSE:
    case kMsgEndOfFile:
      return true;
    default:
      return false;
  }
}

}  // namespace

StandInPlayer::StandInPlayer(const StandInPlayerOptions& options)
    : threadId_(GetCurrentThreadId()),
      answering_(CreateEventA(nullptr, TRUE, TRUE, nullptr)),
      playlist_(std::make_shared<Playlist>()) {
  RegisterWindowClass({kPlayerClass, &StandInPlayer::WindowProc, CS_DBLCLKS});
  window_ =
      CreateWindowExA(0, kPlayerClass, options.title.c_str(), WS_POPUP | (options.visible ? WS_VISIBLE : 0), options.x,
                      options.y, options.width, options.height, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (window_ != nullptr) SetTimer(window_, kClockTimer, kClockTickMs, nullptr);
}

StandInPlayer::~StandInPlayer() {
  if (window_ != nullptr) {
    KillTimer(window_, kClockTimer);
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (answering_ != nullptr) CloseHandle(answering_);
}

LRESULT CALLBACK StandInPlayer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    static_cast<StandInPlayer*>(create->lpCreateParams)->window_ = window;
  }
  auto* self = reinterpret_cast<StandInPlayer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  try {
    return self->Handle(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through a window procedure.
    return 0;
  }
}

LRESULT StandInPlayer::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER && (lParam == kNoticePlayingFile || lParam == kNoticePlayingFileW)) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++noticeCount_;
    return 0;
  }
  if (IsLoggedMessage(message)) Record(message, wParam, lParam);
  switch (message) {
    case WM_USER:
      HoldAnswer();
      return Answer(wParam, lParam);
    case WM_COMMAND:
      HoldAnswer();
      Command(LOWORD(wParam));
      AnnounceStart();
      return 0;
    case kMsgEndOfFile:
      EndOfFile();
      AnnounceStart();
      return 0;
    case kMsgAnnounceStart:
      AnnounceStart();
      return 0;
    case kMsgDeliverEndOfFile: {
      bool send = false;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        send = endSent_;
      }
      if (send) {
        SendMessageA(window_, kMsgEndOfFile, 0, 0);
      } else {
        PostMessageA(window_, kMsgEndOfFile, 0, 0);
      }
      return 0;
    }
    case WM_TIMER:
      if (wParam == kClockTimer) CheckEnd();
      return 0;
    case WM_CLOSE: {
      // A test player is closed by its owner object, never by a message.
      std::lock_guard<std::mutex> lock(mutex_);
      closeRequested_ = true;
      return 0;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_CHAR:
      // Recorded only: the default handling of Alt keys would enter menu mode or close.
      return 0;
    case WM_MOVE: {
      std::lock_guard<std::mutex> lock(mutex_);
      ++moveCount_;
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      HBRUSH brush = CreateSolidBrush(kStandInPlayerColour);
      FillRect(dc, &ps.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(window_, &ps);
      return 0;
    }
    default:
      return DefWindowProcA(window_, message, wParam, lParam);
  }
}

void StandInPlayer::Record(UINT message, WPARAM wParam, LPARAM lParam) {
  PlayerRequest request;
  request.timeMs = SteadyMs();
  request.message = message;
  request.wParam = wParam;
  request.lParam = lParam;
  request.sent = InSendMessage() != FALSE;
  log_.Add(request);
  std::function<void(const PlayerRequest&)> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hook = requestHook_;
  }
  if (hook) hook(request);
}

void StandInPlayer::HoldAnswer() {
  DWORD delay = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    delay = replyDelayMs_;
    if (slowAnswers_ > 0) {
      --slowAnswers_;
      delay = std::max(delay, kSlowAnswerMs);
    }
  }
  if (delay > 0) Sleep(delay);
  // Silence blocks the player's thread inside the request, like a hung player: the sender's
  // attempts time out and nothing else is handled meanwhile.
  WaitForSingleObject(answering_, kSilenceLimitMs);
}

LRESULT StandInPlayer::Answer(WPARAM wParam, LPARAM code) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Playlist& list = *playlist_;
  const int count = static_cast<int>(list.size());
  switch (code) {
    case kCodeIsPlaying:
      return state_ == PlayState::kPlaying ? 1 : state_ == PlayState::kPaused ? 3 : 0;
    case kCodeOutputTime:
      if (wParam == 1) {  // the length of the playing file in seconds
        if (position_ < 0 || position_ >= count || list[position_].lengthMs <= 0) return -1;
        return list[position_].lengthMs / 1000;
      }
      return PositionLocked();
    case kCodeJumpToTime: {
      if (state_ == PlayState::kStopped) return -1;
      clockBaseMs_ = static_cast<int>(std::clamp<LONG_PTR>(static_cast<LONG_PTR>(wParam), 0, 0x7fffffff));
      clockStartedAt_ = SteadyMs();
      endSignalled_ = false;
      const int length = list[position_].lengthMs;
      if (length > 0 && clockBaseMs_ >= length) {
        SignalEndLocked();
        return 1;
      }
      return 0;
    }
    case kCodeSetPlaylistPosition: {
      const LONG_PTR index = static_cast<LONG_PTR>(wParam);
      if (index >= 0 && index < count) position_ = static_cast<int>(index);
      return 0;
    }
    case kCodePlaylistLength:
      return count;
    case kCodePlaylistPosition:
      return position_;
    case kCodeSkinDirectory: {
      char* buffer = reinterpret_cast<char*>(wParam);
      if (buffer == nullptr || !skinDirectory_) return 0;
      const std::string& text = *skinDirectory_;
      const size_t bytes = std::min(text.size() + 1, static_cast<size_t>(kSkinDirectoryBufferSize));
      std::memcpy(buffer, text.c_str(), bytes);
      return 0;
    }
    case kCodePlaylistFile:
    case kCodePlaylistTitle: {
      const LONG_PTR index = static_cast<LONG_PTR>(wParam);
      if (index < 0 || index >= count) return 0;
      const std::string& text = code == kCodePlaylistFile ? list[index].narrowPath : list[index].narrowTitle;
      return reinterpret_cast<LRESULT>(text.c_str());
    }
    case kCodeIniFile:
    case kCodeIniDirectory:
    case kCodeIniFileW:
    case kCodeIniDirectoryW:
      return AnswerIniPlace(code);
    case kCodePlaylistFileW:
    case kCodePlaylistTitleW: {
      const LONG_PTR index = static_cast<LONG_PTR>(wParam);
      if (!wideTexts_ || index < 0 || index >= count) return 0;
      const std::wstring& text = code == kCodePlaylistFileW ? list[index].widePath : list[index].wideTitle;
      return reinterpret_cast<LRESULT>(text.c_str());
    }
    case kCodeRegisterName:
      return RegisterName(reinterpret_cast<const char*>(wParam));
    default:
      if (nameRegistry_ && code > kCodeRegisterName && code == RegisteredCodeLocked(kHotkeysRegistryName))
        KeepHotkey(reinterpret_cast<const void*>(wParam));
      return 0;
  }
}

LRESULT StandInPlayer::RegisterName(const char* name) {
  if (registerAnswer_) return *registerAnswer_;
  if (!nameRegistry_ || name == nullptr) return 0;
  const std::string text(name, strnlen(name, kMaxRegisteredName));
  if (text.empty()) return 0;
  auto found = registeredNames_.find(text);
  if (found == registeredNames_.end())
    found = registeredNames_.emplace(text, kFirstRegisteredCode + static_cast<LPARAM>(registeredNames_.size())).first;
  return found->second;
}

void StandInPlayer::KeepHotkey(const void* data) {
  if (data == nullptr) return;
  const auto* record = static_cast<const HotkeyRecord*>(data);
  RegisteredHotkey kept;
  if (record->name != nullptr) {
    if ((record->flags & kHotkeyWideName) != 0) {
      const auto* name = static_cast<const wchar_t*>(record->name);
      kept.name.assign(name, wcsnlen(name, kMaxRegisteredName));
    } else {
      const auto* name = static_cast<const char*>(record->name);
      kept.name = WideName(std::string(name, strnlen(name, kMaxRegisteredName)));
    }
  }
  kept.flags = record->flags;
  kept.message = record->message;
  kept.wParam = record->wParam;
  kept.lParam = record->lParam;
  if (record->id != nullptr) kept.id.assign(record->id, strnlen(record->id, kMaxRegisteredName));
  kept.window = record->window;
  kept.extendedZero =
      std::all_of(std::begin(record->extended), std::end(record->extended), [](int v) { return v == 0; });
  hotkeys_.push_back(std::move(kept));
}

LPARAM StandInPlayer::RegisteredCodeLocked(const std::string& name) const {
  const auto found = registeredNames_.find(name);
  return found == registeredNames_.end() ? 0 : found->second;
}

LPARAM StandInPlayer::RegisteredCode(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return RegisteredCodeLocked(name);
}

std::vector<RegisteredHotkey> StandInPlayer::Hotkeys() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hotkeys_;
}

void StandInPlayer::SetNameRegistry(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  nameRegistry_ = on;
}

void StandInPlayer::SetRegisterAnswer(std::optional<LRESULT> answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  registerAnswer_ = answer;
}

LRESULT StandInPlayer::AnswerIniPlace(LPARAM code) const {
  if (!iniPlaces_) return 0;
  const HeldIniPlaces& places = *iniPlaces_;
  if (places.bogus) return *places.bogus;
  switch (code) {
    case kCodeIniFile:
      return reinterpret_cast<LRESULT>(places.narrowFile.c_str());
    case kCodeIniDirectory:
      return reinterpret_cast<LRESULT>(places.narrowDirectory.c_str());
    case kCodeIniFileW:
      return places.wide ? reinterpret_cast<LRESULT>(places.wideFile.c_str()) : 0;
    case kCodeIniDirectoryW:
      return places.wide ? reinterpret_cast<LRESULT>(places.wideDirectory.c_str()) : 0;
    default:
      return 0;
  }
}

void StandInPlayer::Command(WORD id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int count = static_cast<int>(playlist_->size());
  switch (id) {
    case kCmdPlay:
      if (count > 0) StartLocked(position_ < 0 ? 0 : position_);
      break;
    case kCmdPause:
      if (state_ == PlayState::kPlaying) {
        clockBaseMs_ = PositionLocked();
        state_ = PlayState::kPaused;
      } else if (state_ == PlayState::kPaused) {
        clockStartedAt_ = SteadyMs();
        state_ = PlayState::kPlaying;
      }
      break;
    case kCmdStop:
      state_ = PlayState::kStopped;
      break;
    case kCmdNext:
      if (position_ + 1 < count) {
        ++position_;
        if (state_ != PlayState::kStopped) StartLocked(position_);
      }
      break;
    case kCmdPrevious:
      if (position_ > 0) {
        --position_;
        if (state_ != PlayState::kStopped) StartLocked(position_);
      }
      break;
    case kCmdClosePlayer:
      closeRequested_ = true;
      break;
    default:
      break;
  }
}

void StandInPlayer::EndOfFile() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++endCount_;
  if (state_ == PlayState::kStopped) return;
  const int count = static_cast<int>(playlist_->size());
  if (endAction_ == EndOfFileAction::kAdvance && position_ + 1 < count) {
    StartLocked(position_ + 1);
  } else {
    state_ = PlayState::kStopped;
  }
}

void StandInPlayer::CheckEnd() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_ != PlayState::kPlaying || endSignalled_) return;
  const int length = (*playlist_)[position_].lengthMs;
  if (length > 0 && PositionLocked() >= length) SignalEndLocked();
}

int StandInPlayer::PositionLocked() const {
  if (state_ == PlayState::kStopped) return -1;
  std::int64_t ms = clockBaseMs_;
  if (state_ == PlayState::kPlaying) ms += SteadyMs() - clockStartedAt_;
  const int length = (*playlist_)[position_].lengthMs;
  if (length > 0) ms = std::min<std::int64_t>(ms, length);
  return static_cast<int>(ms);
}

void StandInPlayer::StartLocked(int index) {
  startPending_ = true;
  position_ = index;
  state_ = PlayState::kPlaying;
  clockBaseMs_ = 0;
  clockStartedAt_ = SteadyMs();
  endSignalled_ = false;
}

void StandInPlayer::SignalEndLocked() {
  endSignalled_ = true;
  // Delivered from the window procedure, outside the lock, so that a sent end-of-file message
  // can reach the handler on this thread.
  PostMessageA(window_, kMsgDeliverEndOfFile, 0, 0);
}

void StandInPlayer::SetPlaylist(std::vector<PlaylistEntry> entries) {
  std::lock_guard<std::mutex> lock(mutex_);
  retired_.push_back(playlist_);
  playlist_ = std::make_shared<Playlist>(entries.begin(), entries.end());
  position_ = playlist_->empty() ? -1 : 0;
  state_ = PlayState::kStopped;
}

void StandInPlayer::AddEntry(PlaylistEntry entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto next = std::make_shared<Playlist>(*playlist_);
  next->emplace_back(std::move(entry));
  retired_.push_back(playlist_);
  playlist_ = next;
  if (position_ < 0) position_ = 0;
}

void StandInPlayer::SetEntryLength(int index, int lengthMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index < 0 || index >= static_cast<int>(playlist_->size())) return;
  auto next = std::make_shared<Playlist>(*playlist_);
  (*next)[static_cast<size_t>(index)].lengthMs = lengthMs;
  retired_.push_back(playlist_);
  playlist_ = next;
}

int StandInPlayer::PlaylistLength() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(playlist_->size());
}

int StandInPlayer::PlaylistPosition() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return position_;
}

void StandInPlayer::SetPlaylistPosition(int index) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (index >= 0 && index < static_cast<int>(playlist_->size())) position_ = index;
}

void StandInPlayer::Play() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!playlist_->empty()) StartLocked(position_ < 0 ? 0 : position_);
  }
  AnnounceStart();
}

void StandInPlayer::AnnounceStart() {
  if (GetCurrentThreadId() != threadId_) {
    // The player sends its notices on its own thread.
    PostMessageA(window_, kMsgAnnounceStart, 0, 0);
    return;
  }
  std::string path;
  std::wstring wide;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool send = startPending_ && noticesOn_ && position_ >= 0;
    startPending_ = false;
    if (!send) return;
    path = (*playlist_)[position_].narrowPath;
    wide = (*playlist_)[position_].widePath;
  }
  // Sent outside the lock: the window procedure takes it again.
  SendMessageA(window_, WM_USER, reinterpret_cast<WPARAM>(path.c_str()), kNoticePlayingFile);
  SendMessageW(window_, WM_USER, reinterpret_cast<WPARAM>(wide.c_str()), kNoticePlayingFileW);
}

StandInPlayer::HeldEntry::HeldEntry(PlaylistEntry entry)
    : PlaylistEntry(std::move(entry)),
      widePath(WideName(path)),
      wideTitle(WideName(title)),
      narrowPath(CodePageOf(widePath)),
      narrowTitle(CodePageOf(wideTitle)) {}

StandInPlayer::HeldIniPlaces::HeldIniPlaces(PlayerIniPlaces places)
    : PlayerIniPlaces(std::move(places)),
      wideDirectory(WideName(directory)),
      wideFile(WideName(file)),
      narrowDirectory(CodePageOf(wideDirectory)),
      narrowFile(CodePageOf(wideFile)) {}

void StandInPlayer::SetIniPlaces(std::optional<PlayerIniPlaces> places) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (iniPlaces_) retiredIniPlaces_.push_back(iniPlaces_);
  iniPlaces_ = places ? std::make_shared<HeldIniPlaces>(std::move(*places)) : nullptr;
}

void StandInPlayer::SetWideEntryTexts(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  wideTexts_ = on;
}

void StandInPlayer::SetPlayingNotices(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  noticesOn_ = on;
}

int StandInPlayer::PlayingNoticeCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return noticeCount_;
}

void StandInPlayer::Pause() { Command(kCmdPause); }

void StandInPlayer::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  state_ = PlayState::kStopped;
}

void StandInPlayer::Seek(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_ == PlayState::kStopped) return;
  clockBaseMs_ = std::max(0, ms);
  clockStartedAt_ = SteadyMs();
  endSignalled_ = false;
}

PlayState StandInPlayer::State() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

int StandInPlayer::PositionMs() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return PositionLocked();
}

void StandInPlayer::SetEndOfFileAction(EndOfFileAction action) {
  std::lock_guard<std::mutex> lock(mutex_);
  endAction_ = action;
}

void StandInPlayer::SetEndOfFileSent(bool sent) {
  std::lock_guard<std::mutex> lock(mutex_);
  endSent_ = sent;
}

int StandInPlayer::EndOfFileCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return endCount_;
}

void StandInPlayer::SetSkinDirectory(std::optional<std::string> directory) {
  std::lock_guard<std::mutex> lock(mutex_);
  skinDirectory_ = std::move(directory);
}

void StandInPlayer::SetReplyDelay(DWORD ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  replyDelayMs_ = ms;
}

void StandInPlayer::SetSlowAnswers(int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  slowAnswers_ = std::max(0, count);
}

void StandInPlayer::SetSilent(bool silent) {
  if (silent) {
    ResetEvent(answering_);
  } else {
    SetEvent(answering_);
  }
}

void StandInPlayer::SetRequestHook(std::function<void(const PlayerRequest&)> hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  requestHook_ = std::move(hook);
}

bool StandInPlayer::CloseRequested() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return closeRequested_;
}

bool StandInPlayer::Move(int x, int y) {
  return window_ != nullptr &&
         SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void StandInPlayer::Minimise() {
  if (window_ != nullptr) ShowWindow(window_, SW_SHOWMINNOACTIVE);
}

void StandInPlayer::Restore() {
  if (window_ != nullptr) ShowWindow(window_, SW_RESTORE);
}

bool StandInPlayer::BringToFront() {
  if (window_ == nullptr) return false;
  SetForegroundWindow(window_);
  return GetForegroundWindow() == window_;
}

int StandInPlayer::MoveCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return moveCount_;
}

RECT StandInPlayer::Rect() const {
  RECT rect{};
  if (window_ != nullptr) GetWindowRect(window_, &rect);
  return rect;
}

}  // namespace tarnix::testhost
