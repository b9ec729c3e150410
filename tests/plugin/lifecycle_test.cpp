// The plug-in's life seen from the player: the descriptor, the window it creates, where the
// settings put it, and quit, which must come back whatever the plug-in's thread is doing.
// ctest runs each test in a process of its own (a DLL's window class outlives FreeLibrary).

#include <gtest/gtest.h>

#include <string>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/probe_window.h"
#include "testhost/pump.h"
#include "tests/plugin/plugin_test.h"
#include "tests/support/file_hold.h"
#include "tests/support/ui_driver.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

using testhost::PluginLoader;

TEST(Descriptor, ExportGivesVersionAndDescription) {
  PluginSession h;
  const std::string dll = h.Dir().InstallPlugin(testhost::ProgramDirectory() + "\\gen_tarnix.dll");
  PluginLoader loader(dll);
  ASSERT_TRUE(loader.Ok()) << loader.Error();
  PluginDescriptor* d = loader.Descriptor();
  EXPECT_EQ(d->version, 0x10);
  EXPECT_STREQ(d->description, "Tarnix Plugin v1.2 (GEN_TARNIX.DLL)");
  EXPECT_NE(d->init, nullptr);
  EXPECT_NE(d->config, nullptr);
  EXPECT_NE(d->quit, nullptr);
  // quit without a running thread returns at once, and again.
  d->quit();
  d->quit();
  EXPECT_EQ(testhost::FindOwnWindow(kPluginWindowClass), nullptr);
}

TEST(Startup, WindowClassTitleStylesAndOwner) {
  PluginSession h;
  ASSERT_TRUE(h.Start());
  HWND w = h.Window();
  char name[64] = {};
  GetClassNameA(w, name, sizeof name);
  EXPECT_STREQ(name, "TarnixPluginWindow");
  GetWindowTextA(w, name, sizeof name);
  EXPECT_STREQ(name, "Tarnix Plugin");
  const LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(w, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_CHILD));
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindow(w, GW_OWNER), h.Player().Window());
  EXPECT_NE(h.UiThreadId(), GetCurrentThreadId());
  const UINT classStyle = static_cast<UINT>(GetClassLongPtrA(w, GCL_STYLE));
  EXPECT_TRUE(classStyle & CS_DBLCLKS);
  EXPECT_TRUE(h.Stop());
}

TEST(Startup, DefaultsWithoutPluginIni) {
  PluginSession h;
  ASSERT_TRUE(h.Start());
  const RECT r = h.Rect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 275);
  EXPECT_EQ(r.bottom - r.top, 116);
  EXPECT_TRUE(h.Visible());
  ASSERT_TRUE(h.Stop());
  // Every key is written back, with the defaults.
  const struct {
    const char* key;
    const char* value;
  } expected[] = {{"WindowPosX", "0"}, {"WindowPosY", "0"},  {"WindowWidth", "275"}, {"WindowHeight", "116"},
                  {"Opened", "1"},     {"Docked", "0"},      {"AutoPopup", "1"},     {"AutoClose", "1"},
                  {"AutoSave", "0"},   {"PrintTime", "1"},   {"ShowTrack", "1"},     {"TopTrack", "0"},
                  {"Resume", "1"},     {"MarkEarlier", "0"}, {"HotKey", "0"}};
  for (const auto& e : expected) EXPECT_EQ(h.PluginIni(e.key), e.value) << e.key;
  EXPECT_EQ(h.PluginIni("BookmarkPath"), h.Dir().Root() + "\\Bookmarks");
}

TEST(Startup, PlacedAndSizedFromPluginIni) {
  PluginSession h;
  h.SetPluginIni("WindowPosX", "37");
  h.SetPluginIni("WindowPosY", "45");
  h.SetPluginIni("WindowWidth", "325");
  h.SetPluginIni("WindowHeight", "145");
  h.SetPluginIni("Opened", "0");
  ASSERT_TRUE(h.Start());
  const RECT r = h.Rect();
  EXPECT_EQ(r.left, 37);
  EXPECT_EQ(r.top, 45);
  EXPECT_EQ(r.right - r.left, 325);
  EXPECT_EQ(r.bottom - r.top, 145);
  EXPECT_FALSE(h.Visible());
  ASSERT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("Opened"), "0");
  EXPECT_EQ(h.PluginIni("WindowWidth"), "325");
}

// Another program holds plugin.ini while the plug-in starts: the run has the defaults, and quit
// does not write them over the listener's settings.
TEST(Startup, APluginIniHeldAtStartIsNotOverwrittenAtQuit) {
  PluginSession h;
  h.SetPluginIni("WindowWidth", "325");
  h.SetPluginIni("AutoSave", "1");
  {
    testsupport::FileHold hold(h.Dir().PluginIni(), 0);
    ASSERT_TRUE(hold.Holding());
    ASSERT_TRUE(h.Start());
  }
  ASSERT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("WindowWidth"), "325");
  EXPECT_EQ(h.PluginIni("AutoSave"), "1");
}

// A damaged plugin.ini: a window smaller than the skin's smallest could not be seen or grabbed,
// one larger than the screen (1024 by 768 here) could not be grabbed at its edges.
TEST(Startup, SizesTakeTheSmallestAndAtMostTheScreen) {
  const struct {
    const char *width, *height;
    LONG expectedWidth, expectedHeight;
  } cases[] = {{"-40", "0", 275, 116}, {"100000", "2147483647", 1024, 768}};
  for (const auto& c : cases) {
    PluginSession h;
    h.SetPluginIni("WindowWidth", c.width);
    h.SetPluginIni("WindowHeight", c.height);
    ASSERT_TRUE(h.Start());
    const RECT r = h.Rect();
    EXPECT_EQ(r.right - r.left, c.expectedWidth) << c.width;
    EXPECT_EQ(r.bottom - r.top, c.expectedHeight) << c.height;
    EXPECT_TRUE(h.Stop());
  }
}

TEST(Startup, DockedStartsBesideThePlayer) {
  PluginSession h;  // the stand-in player sits at (100, 100), 275 by 116
  h.SetPluginIni("Docked", "1");
  h.SetPluginIni("WindowPosX", "0");
  h.SetPluginIni("WindowPosY", "116");
  ASSERT_TRUE(h.Start());
  const RECT r = h.Rect();
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 216);
  ASSERT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("Docked"), "1");
  EXPECT_EQ(h.PluginIni("WindowPosY"), "116");
}

TEST(Startup, DockedWithoutSnappingStartsUndockedAtTheOrigin) {
  PluginSession h;
  h.SetPlayerIni("snap", "0");
  h.SetPluginIni("Docked", "1");
  h.SetPluginIni("WindowPosX", "20");
  h.SetPluginIni("WindowPosY", "116");
  ASSERT_TRUE(h.Start());
  const RECT r = h.Rect();
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  ASSERT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("Docked"), "0");
  EXPECT_EQ(h.PluginIni("WindowPosX"), "0");
  EXPECT_EQ(h.PluginIni("WindowPosY"), "0");
}

TEST(Settings, BookmarkPathLongerThanAnyBufferIsKeptWhole) {
  PluginSession h;
  std::string path = "C:\\";
  while (path.size() < 5000) path += "very long directory name\\";
  path += "end";
  h.SetPluginIni("BookmarkPath", path);
  h.SetPluginIni("HotKey", "1089");
  {
    // The directory can't exist: the start-up's question is answered No.
    testsupport::MessageBoxAnswerer answerer(0, IDNO);
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(h.PumpUntil([&] { return !answerer.Texts().empty(); }));
  }
  ASSERT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("BookmarkPath"), path);
  EXPECT_EQ(h.PluginIni("HotKey"), "1089");
}

TEST(Shutdown, SettingsWrittenWindowGoneThreadEndsWithZero) {
  PluginSession h;
  h.SetPluginIni("WindowPosX", "12");
  ASSERT_TRUE(h.Start());
  HANDLE thread = OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, h.UiThreadId());
  ASSERT_NE(thread, nullptr);
  HWND window = h.Window();
  ASSERT_TRUE(h.Stop());
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
  DWORD code = 99;
  EXPECT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 0u);
  CloseHandle(thread);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(h.PluginIni("WindowPosX"), "12");
  // The bookmark directory's index is the plug-in's own file, beside plugin.ini.
  EXPECT_NE(GetFileAttributesA((h.Dir().Plugins() + "\\gen_tarnix.idx").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((h.Dir().Bookmarks() + "\\gen_tarnix.idx").c_str()), INVALID_FILE_ATTRIBUTES);
  // A second quit does nothing.
  h.Loader()->Quit(2000);
}

TEST(Shutdown, QuitReturnsWhileThePluginWindowIsActive) {
  PluginSession h;
  ASSERT_TRUE(h.Start());
  // Give the plug-in window the activation, so destroying it moves activation while the
  // player's thread is blocked in quit.
  SetForegroundWindow(h.Window());
  h.PumpUntil([&] { return GetForegroundWindow() == h.Window(); }, 2000);
  // The watchdog is the bound: quit returned, rather than when.
  EXPECT_TRUE(h.Stop(15000));
}

TEST(Shutdown, QuitReturnsWhileTheBookmarkQuestionIsUnanswered) {
  PluginSession h;
  h.SetPluginIni("BookmarkPath", h.Dir().Root() + "\\NoSuchFolder");
  ASSERT_TRUE(h.Start());
  // The start-up asks whether to create the missing folder; nobody answers.
  ASSERT_TRUE(h.PumpUntil([] { return testhost::FindOwnWindow("MyMessageBox") != nullptr; }, 5000));
  // The watchdog is the bound: quit returned, rather than when.
  EXPECT_TRUE(h.Stop(15000));
  EXPECT_EQ(testhost::FindOwnWindow("MyMessageBox"), nullptr);
  // Unanswered is not a yes: nothing was created.
  EXPECT_EQ(GetFileAttributesA((h.Dir().Root() + "\\NoSuchFolder").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Shutdown, QuitRightAfterInit) {
  PluginSession h;
  const std::string dll = h.Dir().InstallPlugin(testhost::ProgramDirectory() + "\\gen_tarnix.dll");
  PluginLoader loader(dll);
  ASSERT_TRUE(loader.Ok());
  loader.Attach(h.Player().Window());
  ASSERT_EQ(loader.Init(), 0);
  EXPECT_TRUE(loader.Quit(15000));
  EXPECT_EQ(testhost::FindOwnWindow(kPluginWindowClass), nullptr);
}

// Quit while the plug-in waits for the player's answer: the request gives up and the loop ends
// through the failure, not through its own quit step; the changed list is kept all the same.
TEST(Shutdown, QuitDuringARequestKeepsTheEditForTheNextStart) {
  PluginSession h;
  ASSERT_TRUE(h.WriteBookmark("First.trk", TrackFile("First", "01:00:00:00*Opening\r\n01:00:01:00 Theme\r\n")));
  h.Player().SetPlaylist({{"C:\\x\\first.mp3", "First", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 1); }, 4000));
  ASSERT_TRUE(h.Command(IDM_INSERT_SUBTRACK));
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 2); }, 4000));
  bool quit = false;
  h.Player().SetRequestHook([&](const testhost::PlayerRequest& request) {
    if (quit || !request.sent) return;
    quit = true;
    EXPECT_TRUE(h.Stop());  // the player's thread is in quit and answers nothing until it returns
  });
  EXPECT_TRUE(h.PumpUntil([&] { return quit; }, 5000));
  h.Player().SetRequestHook(nullptr);
  const std::string kept = h.Dir().ReadFile("Bookmarks\\First.trk.unsaved").value_or("");
  EXPECT_NE(kept.find("New subsong"), std::string::npos) << kept;
}

TEST(Shutdown, WindowDestroyedFromOutsideEndsTheThread) {
  PluginSession h;
  ASSERT_TRUE(h.Start());
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, h.UiThreadId());
  ASSERT_NE(thread, nullptr);
  // Closing the window from its own thread, as destroying its owner would.
  SendMessageTimeoutA(h.Window(), WM_CLOSE, 0, 0, SMTO_NORMAL, 2000, nullptr);
  EXPECT_TRUE(h.PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 5000));
  CloseHandle(thread);
  EXPECT_TRUE(h.Stop());
  EXPECT_EQ(h.PluginIni("WindowWidth"), "275");
}

// config comes on the player's thread; the plug-in's own thread does its work when it is free,
// and not at all once it is shutting down.
bool OptionsShown(DWORD uiThread) {
  HWND options = testsupport::FindThreadWindow(uiThread, nullptr, "Tarnix - Options");
  return options && IsWindowVisible(options);
}

HWND WaitForMessageBox(PluginSession& h) {
  HWND box = nullptr;
  h.PumpUntil([&] {
    box = testsupport::FindThreadWindow(h.UiThreadId(), "MyMessageBox");
    return box && IsWindowVisible(box);
  });
  return box;
}

TEST(Config, WaitsUntilTheUiThreadIsFree) {
  PluginSession h;
  ASSERT_TRUE(h.Start());
  // Nothing plays: the paste command says so in a box, whose loop keeps the UI thread busy.
  ASSERT_TRUE(h.Command(IDM_PASTE_TRACKLIST));
  HWND box = WaitForMessageBox(h);
  ASSERT_NE(box, nullptr);
  h.Config();
  EXPECT_FALSE(OptionsShown(h.UiThreadId())) << "the player's thread did the UI thread's work";
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(h.PumpUntil([&] { return OptionsShown(h.UiThreadId()); }));
  EXPECT_TRUE(h.Stop());
}

TEST(Config, DoesNothingWhileTheUiThreadShutsDownOrAfterwards) {
  PluginSession h;
  h.Player().SetPlaylist({{"C:\\x\\a.mp3", "Changed", 0}});
  h.Player().Play();
  ASSERT_TRUE(h.Start());
  ASSERT_TRUE(h.PumpUntil([&] { return h.LastKey() == MakeItemId(1, 0); }, 4000));
  // The thread ends by itself once quit reaches its window, with nobody waiting for it.
  const DWORD uiThread = h.UiThreadId();
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, uiThread);
  ASSERT_NE(thread, nullptr);
  ASSERT_TRUE(h.Post(UM_QUIT));
  h.Config();
  EXPECT_FALSE(OptionsShown(uiThread)) << "the player's thread did the UI thread's work";
  EXPECT_TRUE(h.PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }));
  CloseHandle(thread);
  h.Config();  // the window is gone: nothing to post to
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
