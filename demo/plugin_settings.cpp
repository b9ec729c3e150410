#include "demo/plugin_settings.h"

#include <utility>

namespace tarnix::demo {

namespace {

const char* Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

bool StartPlugin(PluginSession& session, const std::string& dllPath, const PluginSettings& settings, std::string* error,
                 DWORD windowDeadlineMs) {
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
      {"BookmarkPath", session.Dir().Bookmarks()},
  };
  for (const auto& [key, value] : values) session.SetPluginIni(key, value);
  testhost::SessionStart start;
  start.dllPath = dllPath;
  start.windowDeadlineMs = windowDeadlineMs;
  start.waitForSkin = false;
  return session.Start(start, error);
}

}  // namespace tarnix::demo
