#include "tests/integration/session.h"

#include "host/player_codes.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"

namespace tarnix::integration {

namespace {

// A point of the caption strip that no button covers: a left press there starts a move.
constexpr int kGrabX = 100;
constexpr int kGrabY = 6;

LPARAM PointLParam(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

testhost::StandInPlayerOptions PlayerOptions(int x, int y) {
  testhost::StandInPlayerOptions options;
  options.x = x;
  options.y = y;
  options.width = kPlayerWidth;
  options.height = kPlayerHeight;
  return options;
}

}  // namespace

PluginSession::PluginSession(int playerX, int playerY) : player_(PlayerOptions(playerX, playerY)) {
  player_.SetPlaylist({});
  // The player's own default is snapping off.
  SetPlayerIni("snap", "1");
}

PluginSession::~PluginSession() {
  if (running_) Stop();
}

void PluginSession::SetPluginIni(const std::string& key, const std::string& value) {
  dir_.WriteIni(dir_.PluginIni(), "Tarnix Plugin", key, value);
}

void PluginSession::SetPlayerIni(const std::string& key, const std::string& value) {
  dir_.WriteIni(dir_.WinampIni(), "Winamp", key, value);
}

std::string PluginSession::PluginIni(const std::string& key) const {
  return dir_.ReadIni(dir_.PluginIni(), "Tarnix Plugin", key, "<missing>");
}

bool PluginSession::Start() {
  if (running_ || !dir_.Ok()) return false;
  const std::string name =
      loaders_.empty() ? std::string("gen_tarnix.dll") : "gen_tarnix_" + std::to_string(loaders_.size() + 1) + ".dll";
  const std::string dll = dir_.InstallPlugin(testhost::ProgramDirectory() + "\\gen_tarnix.dll", name);
  if (dll.empty()) return false;
  loaders_.push_back(std::make_unique<testhost::PluginLoader>(dll));
  testhost::PluginLoader& loader = *loaders_.back();
  if (!loader.Ok()) return false;
  loader.Attach(player_.Window());
  const int skinRequests = player_.Log().CountCode(kCodeSkinDirectory);
  if (loader.Init() != 0) return false;
  running_ = true;
  window_ = nullptr;
  if (!PumpUntil([&] { return (window_ = testhost::FindOwnWindow(kPluginWindowClass)) != nullptr; }, 10000))
    return false;
  uiThread_ = GetWindowThreadProcessId(window_, nullptr);
  return PumpUntil([&] { return player_.Log().CountCode(kCodeSkinDirectory) > skinRequests; }, 10000);
}

bool PluginSession::Stop() {
  if (!running_) return true;
  running_ = false;
  const bool returned = loaders_.back()->Quit(20000);
  window_ = nullptr;
  return returned;
}

void PluginSession::Config() {
  if (running_) loaders_.back()->Config();
}

std::optional<LRESULT> PluginSession::Query(UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  if (!window_ || !SendMessageTimeoutA(window_, message, wParam, lParam, SMTO_NORMAL, 5000, &answer))
    return std::nullopt;
  return static_cast<LRESULT>(answer);
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

HWND PluginSession::CaptureOfUiThread() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(uiThread_, &info)) return nullptr;
  return info.hwndCapture;
}

bool PluginSession::DragTo(int x, int y) {
  if (!window_) return false;
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

void PluginSession::Pump(DWORD ms) { testhost::PumpFor(ms); }

std::string SourcePath(const std::string& relative) {
  std::string path = std::string("Z:") + TARNIX_SOURCE_DIR + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ScreenshotPath(const std::string& fileName) {
  const std::string folder = testhost::ProgramDirectory() + "\\screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + fileName;
}

}  // namespace tarnix::integration
