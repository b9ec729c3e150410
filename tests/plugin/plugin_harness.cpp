#include "tests/plugin/plugin_harness.h"

#include "host/player_codes.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"

namespace tarnix::test {

PluginHarness::PluginHarness() {
  player_.SetPlaylist({});
  SetPlayerIni("snap", "1");
}

PluginHarness::~PluginHarness() {
  if (running_) Stop();
}

void PluginHarness::SetPluginIni(const std::string& key, const std::string& value) {
  dir_.WriteIni(dir_.PluginIni(), "Tarnix Plugin", key, value);
}

void PluginHarness::SetPlayerIni(const std::string& key, const std::string& value) {
  dir_.WriteIni(dir_.WinampIni(), "Winamp", key, value);
}

std::string PluginHarness::PluginIni(const std::string& key) const {
  return dir_.ReadIni(dir_.PluginIni(), "Tarnix Plugin", key, "<missing>");
}

bool PluginHarness::WriteBookmark(const std::string& name, const std::string& bytes) {
  return dir_.WriteFile("Bookmarks\\" + name, bytes);
}

bool PluginHarness::Start() {
  if (!dir_.Ok()) return false;
  const std::string dll = dir_.InstallPlugin(testhost::ProgramDirectory() + "\\gen_tarnix.dll");
  if (dll.empty()) return false;
  loader_ = std::make_unique<testhost::PluginLoader>(dll);
  if (!loader_->Ok()) return false;
  loader_->Attach(player_.Window());
  if (loader_->Init() != 0) return false;
  running_ = true;
  const bool up = PumpUntil([&] { return (window_ = testhost::FindOwnWindow(kPluginWindowClass)) != nullptr; }, 10000);
  if (!up) return false;
  uiThread_ = GetWindowThreadProcessId(window_, nullptr);
  // The start-up is over once the skin was asked for and the bookmark check ran.
  return WaitForCode(kCodeSkinDirectory, 1, 10000);
}

bool PluginHarness::Stop(DWORD watchdogMs) {
  if (!running_) return true;
  running_ = false;
  return loader_->Quit(watchdogMs);
}

bool PluginHarness::PumpUntil(const std::function<bool()>& predicate, DWORD deadlineMs) {
  return testhost::PumpUntil(predicate, deadlineMs);
}

void PluginHarness::Pump(DWORD ms) { testhost::PumpFor(ms); }

std::optional<int32_t> PluginHarness::Query(UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  if (!window_ || !SendMessageTimeoutA(window_, message, wParam, lParam, SMTO_NORMAL, 5000, &answer))
    return std::nullopt;
  return static_cast<int32_t>(answer);
}

std::optional<int32_t> PluginHarness::LastKey() { return Query(UM_GET_LAST_KEY); }
std::optional<int32_t> PluginHarness::CurrentKey() { return Query(UM_GET_CURRENT_KEY); }

RECT PluginHarness::WindowRect() const {
  RECT rect{};
  if (window_) GetWindowRect(window_, &rect);
  return rect;
}

bool PluginHarness::WaitForCode(LPARAM code, int count, DWORD deadlineMs) {
  return PumpUntil([&] { return player_.Log().CountCode(code) >= count; }, deadlineMs);
}

std::string SourcePath(const std::string& relative) {
  std::string path = std::string("Z:") + TARNIX_SOURCE_DIR + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string TrackFile(const std::string& album, const std::string& entries) {
  return "[Album ] " + album + "\r\n[Artist] Tester\r\n" + entries;
}

}  // namespace tarnix::test
