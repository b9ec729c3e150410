// tarnix_demo: runs the real plug-in in the stand-in player with a sample playlist.
//
//   tarnix_demo [--script | --interactive] [--dll PATH] [--out FOLDER]
//
// --script (the default) plays a scripted tour headless and writes demo.log, the screenshots
// and the files the plug-in wrote into FOLDER; --interactive opens the player's controls beside
// the plug-in for a person at a desktop and runs until that window is closed.

#include "demo/demo_log.h"
#include "demo/demo_script.h"
#include "demo/interactive_player.h"
#include "demo/plugin_settings.h"
#include "demo/sample_setup.h"
#include "demo/screenshots.h"
#include "testhost/player_directory.h"
#include "testhost/pump.h"
#include "testhost/wide_names.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace tarnix;
using namespace tarnix::demo;

struct Arguments {
  bool interactive = false;
  std::string dll;
  std::string out;
};

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(testhost::WideName(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The DLL sits at the top of the build folder, one level above this program's folder.
std::string DefaultDll() {
  const std::string here = testhost::ProgramDirectory();
  for (const std::string& candidate : {here + "\\..\\gen_tarnix.dll", here + "\\gen_tarnix.dll"}) {
    if (FileExists(candidate)) return candidate;
  }
  return here + "\\..\\gen_tarnix.dll";
}

bool Parse(int argc, char** argv, Arguments* args) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--interactive") {
      args->interactive = true;
    } else if (a == "--script") {
      args->interactive = false;
    } else if ((a == "--dll" || a == "--out") && i + 1 < argc) {
      (a == "--dll" ? args->dll : args->out) = argv[++i];
    } else {
      std::fprintf(stderr, "usage: tarnix_demo [--script | --interactive] [--dll PATH] [--out FOLDER]\n");
      return false;
    }
  }
  if (args->dll.empty()) args->dll = DefaultDll();
  if (args->out.empty()) args->out = testhost::ProgramDirectory() + "\\demo-output";
  return true;
}

bool MakeFolder(const std::string& path) {
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (part.empty() || part.back() == ':') continue;
      if (!CreateDirectoryW(testhost::WideName(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    }
  }
  return true;
}

// Copies what the plug-in left in the player directory (lists, its settings) into the output.
void KeepFiles(testhost::PlayerDirectory& directory, const std::string& out, DemoLog& log) {
  const std::string target = out + "\\files";
  testhost::RemoveTree(target);
  MakeFolder(target + "\\Bookmarks");
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(testhost::WideName(directory.Bookmarks() + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const std::string name = testhost::Utf8Name(data.cFileName);
      CopyFileW(testhost::WideName(directory.Bookmarks() + "\\" + name).c_str(),
                testhost::WideName(target + "\\Bookmarks\\" + name).c_str(), FALSE);
      log.Line("kept Bookmarks\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  CopyFileW(testhost::WideName(directory.PluginIni()).c_str(), testhost::WideName(target + "\\plugin.ini").c_str(),
            FALSE);
}

int RunScript(const Arguments& args) {
  if (!MakeFolder(args.out)) {
    std::fprintf(stderr, "tarnix_demo: cannot create %s\n", args.out.c_str());
    return 2;
  }
  DemoLog log(args.out + "\\demo.log", false);
  if (!log.Ok()) {
    std::fprintf(stderr, "tarnix_demo: cannot write %s\\demo.log\n", args.out.c_str());
    return 2;
  }
  log.Plain("Tarnix Plugin demo: the real plug-in in the stand-in player");
  log.Plain("plug-in: " + args.dll);
  log.Plain("Each line: seconds since start, then what happened. \"highlight\" lines give the player's");
  log.Plain("position, the playing row's key as the plug-in answers UM_GET_CURRENT_KEY (0x2403), and");
  log.Plain("that row's text as the plug-in lays it out, from the list file it read or wrote.");
  log.Plain("");

  PluginSession session({}, kDemoPlayer);
  std::vector<testhost::PlaylistEntry> playlist;
  std::string error;
  if (!LayOutSampleMedia(session.Dir(), &playlist, &error)) {
    log.Line("set-up failed: " + error);
    std::fprintf(stderr, "tarnix_demo: %s\n", error.c_str());
    return 2;
  }
  session.Player().SetPlaylist(playlist);
  log.Line("player directory " + session.Dir().Root());
  for (size_t i = 0; i < playlist.size(); ++i) {
    log.Line("playlist " + std::to_string(i) + ": " + playlist[i].path + "  \"" + playlist[i].title + "\"");
  }
  if (!StartPlugin(session, args.dll, PluginSettings{}, &error)) {
    log.Line("the plug-in did not start: " + error);
    std::fprintf(stderr, "tarnix_demo: %s\n", error.c_str());
    return 2;
  }
  log.Line("plug-in loaded; its window belongs to thread " + std::to_string(session.UiThreadId()));
  testhost::PumpFor(800);

  Screenshots shots(args.out);
  bool ok = false;
  {
    DemoScript script(session, log, shots);
    ok = script.Run();
  }
  log.Plain("");
  log.Line("quit: the plug-in saves its settings and changed lists, then ends");
  const bool quitInTime = session.Stop();
  log.Line(quitInTime ? "quit returned" : "quit did not return in time");
  KeepFiles(session.Dir(), args.out, log);
  log.Line(std::to_string(shots.Count()) + " screenshots written");
  log.Line(ok && quitInTime ? "demo finished: every step as expected"
                            : "demo finished: some steps were NOT AS EXPECTED (see above)");
  std::printf("demo: %s (%d screenshots, demo.log, files\\) in %s\n",
              ok && quitInTime ? "all steps as expected" : "some steps not as expected", shots.Count(),
              args.out.c_str());
  return ok && quitInTime ? 0 : 1;
}

int RunInteractive(const Arguments& args) {
  PluginSession session({}, kDemoPlayer);
  std::vector<testhost::PlaylistEntry> playlist;
  std::string error;
  if (!LayOutSampleMedia(session.Dir(), &playlist, &error)) {
    std::fprintf(stderr, "tarnix_demo: %s\n", error.c_str());
    return 2;
  }
  session.Player().SetPlaylist(playlist);
  if (!StartPlugin(session, args.dll, PluginSettings{}, &error)) {
    std::fprintf(stderr, "tarnix_demo: %s\n", error.c_str());
    return 2;
  }
  std::printf("demo: the player's controls are open beside the plug-in; close them to end.\n");
  std::fflush(stdout);
  {
    InteractivePlayer controls(session, playlist, POINT{390, 100});
    if (!controls.Run()) {
      std::fprintf(stderr, "tarnix_demo: could not open the player's controls\n");
      return 2;
    }
  }
  session.Stop();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!Parse(argc, argv, &args)) return 2;
  try {
    return args.interactive ? RunInteractive(args) : RunScript(args);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarnix_demo: %s\n", e.what());
    return 2;
  }
}
