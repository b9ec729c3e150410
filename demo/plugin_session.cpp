#include "demo/plugin_session.h"

#include "testhost/probe_window.h"
#include "testhost/pump.h"

#include <cstring>
#include <string>

namespace tarnix::demo {

namespace {

constexpr DWORD kQuitWatchdogMs = 30000;

const char* Flag(bool on) { return on ? "1" : "0"; }

struct ThreadWindowSearch {
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ThreadWindowSearch*>(lParam);
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  if (std::strcmp(text, search->caption) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

PluginSession::PluginSession(const testhost::StandInPlayerOptions& player)
    : player_(std::make_unique<testhost::StandInPlayer>(player)) {}

PluginSession::~PluginSession() {
  if (loader_) Stop();
}

bool PluginSession::Start(const std::string& dllPath, const PluginSettings& settings,
                          std::string* error, DWORD windowDeadlineMs) {
  if (!directory_.Ok() || player_->Window() == nullptr) {
    *error = "could not lay out the player directory or create the player window";
    return false;
  }
  const std::string installed = directory_.InstallPlugin(dllPath, "gen_tarnix.dll");
  if (installed.empty()) {
    *error = "could not copy " + dllPath + " into " + directory_.Plugins();
    return false;
  }
  const std::string ini = directory_.PluginIni();
  const std::pair<const char*, std::string> values[] = {
      {"WindowPosX", std::to_string(settings.x)},
      {"WindowPosY", std::to_string(settings.y)},
      {"WindowWidth", std::to_string(settings.width)},
      {"WindowHeight", std::to_string(settings.height)},
      {"Opened", "1"},
      {"Docked", "0"},
      {"AutoPopup", Flag(settings.autoPopup)},
      {"AutoSave", Flag(settings.autoSave)},
      {"PrintTime", Flag(settings.printTime)},
      {"ShowTrack", "1"},
      {"TopTrack", "0"},
      {"BookmarkPath", directory_.Bookmarks()},
  };
  for (const auto& [key, value] : values) directory_.WriteIni(ini, kPluginSection, key, value);

  loader_ = std::make_unique<testhost::PluginLoader>(installed);
  if (!loader_->Ok()) {
    *error = "could not load the plug-in: " + loader_->Error();
    loader_.reset();
    return false;
  }
  loader_->Attach(player_->Window());
  loader_->Init();
  const bool found = testhost::PumpUntil(
      [this] {
        window_ = testhost::FindOwnWindow(kPluginWindowClass);
        return window_ != nullptr;
      },
      windowDeadlineMs);
  if (!found) {
    *error = "the plug-in started but no \"TarnixPluginWindow\" window appeared";
    Stop();
    return false;
  }
  uiThreadId_ = GetWindowThreadProcessId(window_, nullptr);
  return true;
}

bool PluginSession::Stop() {
  if (!loader_) return true;
  const bool inTime = loader_->Quit(kQuitWatchdogMs, true);
  loader_.reset();
  window_ = nullptr;
  return inTime;
}

std::optional<LRESULT> PluginSession::Query(UINT message, DWORD timeoutMs) const {
  if (window_ == nullptr) return std::nullopt;
  DWORD_PTR result = 0;
  if (SendMessageTimeoutA(window_, message, 0, 0, SMTO_NORMAL, timeoutMs, &result) == 0) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(result);
}

std::optional<ItemId> PluginSession::CurrentKey() const {
  const auto answer = Query(UM_GET_CURRENT_KEY);
  if (!answer) return std::nullopt;
  return static_cast<ItemId>(*answer);
}

std::optional<ItemId> PluginSession::LastKey() const {
  const auto answer = Query(UM_GET_LAST_KEY);
  if (!answer) return std::nullopt;
  return static_cast<ItemId>(*answer);
}

bool PluginSession::Command(WORD id) const { return Post(WM_COMMAND, id, 0); }

bool PluginSession::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  return window_ != nullptr && PostMessageA(window_, message, wParam, lParam) != 0;
}

HWND FindThreadWindow(DWORD threadId, const char* caption) {
  ThreadWindowSearch search{caption, nullptr};
  EnumThreadWindows(threadId, MatchCaption, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace tarnix::demo
