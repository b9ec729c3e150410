#include "testhost/plugin_session.h"

#include <cstring>

#include "host/player_codes.h"
#include "testhost/input.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"

namespace tarnix::testhost {

namespace {

// A point of the caption strip that no button covers: a left press there starts a move.
constexpr int kGrabX = 100;
constexpr int kGrabY = 6;
constexpr const char* kPluginSection = "Tarnix Plugin";

LPARAM PointLParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

bool Fail(std::string* error, const std::string& reason) {
  if (error) *error = reason;
  return false;
}

struct ThreadWindowSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ThreadWindowSearch*>(lParam);
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  if (std::strcmp(text, search->caption) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

PluginSession::PluginSession(const StandInPlayerOptions& player, PlayerSetup setup, const std::string& directorySuffix)
    : dir_(directorySuffix), player_(player) {
  // The player keeps its settings in its own folder, as a player that is not installed for
  // several users does: the plug-in's files then go where earlier versions put them.
  PlayerIniPlaces places;
  places.directory = dir_.Root();
  places.file = dir_.WinampIni();
  player_.SetIniPlaces(places);
  if (setup == PlayerSetup::AsInstalled) return;
  player_.SetPlaylist({});
  SetPlayerIni("snap", "1");
}

PluginSession::~PluginSession() {
  if (running_) Stop();
}

void PluginSession::SetPluginIni(const std::string& key, const std::string& value) {
  dir_.WriteIni(dir_.PluginIni(), kPluginSection, key, value);
}

void PluginSession::SetPlayerIni(const std::string& key, const std::string& value) {
  dir_.WriteIni(dir_.WinampIni(), "Winamp", key, value);
}

std::string PluginSession::PluginIni(const std::string& key) const {
  return dir_.ReadIni(dir_.PluginIni(), kPluginSection, key, "<missing>");
}

bool PluginSession::WriteBookmark(const std::string& name, const std::string& bytes) {
  return dir_.WriteFile("Bookmarks\\" + name, bytes);
}

bool PluginSession::Start(const SessionStart& start, std::string* error) {
  if (running_) return Fail(error, "the plug-in runs already");
  if (!dir_.Ok() || player_.Window() == nullptr)
    return Fail(error, "could not lay out the player directory or create the player window");
  const std::string source = start.dllPath.empty() ? ProgramDirectory() + "\\gen_tarnix.dll" : start.dllPath;
  const std::string name =
      loaders_.empty() ? std::string("gen_tarnix.dll") : "gen_tarnix_" + std::to_string(loaders_.size() + 1) + ".dll";
  const std::string installed = dir_.InstallPlugin(source, name);
  if (installed.empty()) return Fail(error, "could not copy " + source + " into " + dir_.Plugins());
  auto loader = std::make_unique<PluginLoader>(installed);
  if (!loader->Ok()) return Fail(error, "could not load the plug-in: " + loader->Error());
  loaders_.push_back(std::move(loader));
  loaders_.back()->Attach(player_.Window());
  const int skinRequests = player_.Log().CountCode(kCodeSkinDirectory);
  if (loaders_.back()->Init() != 0) return Fail(error, "the plug-in's init failed");
  running_ = true;
  window_ = nullptr;
  const bool found =
      PumpUntil([&] { return (window_ = FindOwnWindow(kPluginWindowClass)) != nullptr; }, start.windowDeadlineMs);
  if (!found) {
    Stop();
    return Fail(error, "the plug-in started but no \"TarnixPluginWindow\" window appeared");
  }
  uiThread_ = GetWindowThreadProcessId(window_, nullptr);
  if (!start.waitForSkin) return true;
  if (!PumpUntil([&] { return player_.Log().CountCode(kCodeSkinDirectory) > skinRequests; }, 10000))
    return Fail(error, "the plug-in never asked for the player's skin");
  return true;
}

bool PluginSession::Stop(DWORD watchdogMs) {
  if (!running_) return true;
  running_ = false;
  const bool returned = loaders_.back()->Quit(watchdogMs);
  window_ = nullptr;
  return returned;
}

void PluginSession::Config() {
  if (running_) loaders_.back()->Config();
}

RECT PluginSession::Rect() const {
  RECT rect{};
  if (window_) GetWindowRect(window_, &rect);
  return rect;
}

POINT PluginSession::TopLeft() const {
  const RECT rect = Rect();
  return POINT{rect.left, rect.top};
}

std::optional<LRESULT> PluginSession::Query(UINT message, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) const {
  DWORD_PTR answer = 0;
  if (!window_ || !SendMessageTimeoutA(window_, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer))
    return std::nullopt;
  return static_cast<LRESULT>(answer);
}

std::optional<int32_t> PluginSession::CurrentKey() const {
  const auto answer = Query(UM_GET_CURRENT_KEY);
  if (!answer) return std::nullopt;
  return static_cast<int32_t>(*answer);
}

std::optional<int32_t> PluginSession::LastKey() const {
  const auto answer = Query(UM_GET_LAST_KEY);
  if (!answer) return std::nullopt;
  return static_cast<int32_t>(*answer);
}

bool PluginSession::Command(WORD id) const { return Post(WM_COMMAND, id, 0); }

bool PluginSession::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  return window_ != nullptr && PostMessageA(window_, message, wParam, lParam) != 0;
}

HWND PluginSession::CaptureOfUiThread() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(uiThread_, &info)) return nullptr;
  return info.hwndCapture;
}

bool PluginSession::DragTo(int x, int y) {
  if (!window_) return false;
  // The real pointer waits in a corner no test window reaches: a window moving under it gets a
  // mouse move from the window system, which during a drag would move the window once more.
  const POINT corner{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
  POINT pointer{};
  if (GetCursorPos(&pointer) && (pointer.x != corner.x || pointer.y != corner.y)) SetCursorPos(corner.x, corner.y);
  const POINT from = TopLeft();
  if (!PostMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, PointLParam(kGrabX, kGrabY))) return false;
  if (!PumpUntil([&] { return CaptureOfUiThread() == window_; })) return false;
  // Client coordinates of the pointer relative to where the window is now, as the system
  // reports them while the window has not moved yet.
  const int pointerX = kGrabX + x - from.x;
  const int pointerY = kGrabY + y - from.y;
  PostMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, PointLParam(pointerX, pointerY));
  PostMessageA(window_, WM_LBUTTONUP, 0, PointLParam(kGrabX, kGrabY));
  return PumpUntil([&] { return CaptureOfUiThread() != window_; });
}

bool PluginSession::PumpUntil(const std::function<bool()>& predicate, DWORD deadlineMs) {
  return testhost::PumpUntil(predicate, deadlineMs);
}

void PluginSession::Pump(DWORD ms) { PumpFor(ms); }

bool PluginSession::WaitForPostedMessages(DWORD deadlineMs) {
  constexpr UINT kUnusedKey = 'X';
  const auto passedOn = [&] {
    return player_.Log().Count(
        [](const PlayerRequest& r) { return r.message == WM_KEYDOWN && r.wParam == kUnusedKey; });
  };
  const int before = passedOn();
  return PostKeyDown(window_, kUnusedKey) && PumpUntil([&] { return passedOn() > before; }, deadlineMs);
}

bool PluginSession::WaitForCode(LPARAM code, int count, DWORD deadlineMs) {
  return PumpUntil([&] { return player_.Log().CountCode(code) >= count; }, deadlineMs);
}

HWND FindThreadWindow(DWORD threadId, const char* caption) {
  ThreadWindowSearch search{caption, nullptr};
  EnumThreadWindows(threadId, MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string SourcePath(const std::string& relative) {
  std::string path = std::string("Z:") + TARNIX_SOURCE_DIR + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace tarnix::testhost
