// The plug-in window as a screen reader reads it: the objects AccessibleObjectFromWindow hands
// out (names, roles, states, places, default actions) and the events SetWinEventHook receives
// when the keyboard row or the playing row moves, through the real DLL in the stand-in player.

#include <gtest/gtest.h>
#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/player_codes.h"
#include "resources/resource_ids.h"
#include "testhost/key_state.h"
#include "tests/plugin/plugin_test.h"
#include "tracklist/item_id.h"

namespace tarnix::test {
namespace {

// A track, a subtrack, a subtrack marked to be skipped and, below the first page, ten more.
const std::string kList =
    "[Skip  ] 01:01:05:00\r\n01:00:00:00*Opening\r\n01:00:01:00 Theme\r\n01:01:05:00 Close\r\n"
    "01:02:00:00 Part 1\r\n01:03:00:00 Part 2\r\n01:04:00:00 Part 3\r\n01:05:00:00 Part 4\r\n"
    "01:06:00:00 Part 5\r\n01:07:00:00 Part 6\r\n01:08:00:00 Part 7\r\n01:09:00:00 Part 8\r\n"
    "01:10:00:00 Part 9\r\n01:11:00:00 Part 10\r\n";
constexpr long kRows = 13;

// One reference to a COM object, released when it goes.
template <class T>
class Held {
 public:
  Held() = default;
  explicit Held(T* object) : object_(object) {}
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() {
    if (object_) object_->Release();
  }
  T* operator->() const { return object_; }
  T* Get() const { return object_; }
  T** Out() { return &object_; }
  void Reset(T* object = nullptr) {
    if (object_) object_->Release();
    object_ = object;
  }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

VARIANT Id(LONG child) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = child;
  return v;
}

std::string Narrow(BSTR text) {
  if (!text) return "<none>";
  const int wide = static_cast<int>(SysStringLen(text));
  std::string out(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text, wide, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, wide, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  SysFreeString(text);
  return out;
}

std::string Name(IAccessible* object, LONG child = CHILDID_SELF) {
  BSTR name = nullptr;
  object->get_accName(Id(child), &name);
  return Narrow(name);
}

LONG LongOf(HRESULT answer, const VARIANT& out) { return SUCCEEDED(answer) && out.vt == VT_I4 ? out.lVal : -1; }
LONG Role(IAccessible* object, LONG child = CHILDID_SELF) {
  VARIANT out;
  VariantInit(&out);
  return LongOf(object->get_accRole(Id(child), &out), out);
}
LONG State(IAccessible* object, LONG child = CHILDID_SELF) {
  VARIANT out;
  VariantInit(&out);
  return LongOf(object->get_accState(Id(child), &out), out);
}

IAccessible* Child(IAccessible* parent, LONG child) {
  IDispatch* dispatch = nullptr;
  if (parent->get_accChild(Id(child), &dispatch) != S_OK || !dispatch) return nullptr;
  IAccessible* object = nullptr;
  dispatch->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object));
  dispatch->Release();
  return object;
}

// What a hooked screen reader received from the plug-in window.
struct Event {
  DWORD event;
  LONG object;
  LONG child;
  int positionMs;  // the player's position when the event arrived
};
std::vector<Event> g_events;
HWND g_window = nullptr;
const testhost::StandInPlayer* g_player = nullptr;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (window == g_window) g_events.push_back({event, object, child, g_player ? g_player->PositionMs() : -1});
}

// A screen reader in the test's thread: a COM apartment, the client object of the plug-in window
// and a hook for the window's reorder, focus, selection and name events.
class ScreenReaderTest : public PlayingPluginTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(h.WriteBookmark("r.trk", TrackFile("Reader", kList)));
    h.Player().SetPlaylist({{"C:\\x\\r.mp3", "Reader", 0}});
    ASSERT_TRUE(h.Start());
    ASSERT_TRUE(ShowsLastKey(MakeItemId(1, kRows - 1)));
    g_window = h.Window();
    g_player = &h.Player();
    g_events.clear();
    hook_ = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_NAMECHANGE, nullptr, OnEvent, GetCurrentProcessId(), 0,
                            WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook_, nullptr);
    ASSERT_EQ(AccessibleObjectFromWindow(h.Window(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(client.Out())),
              S_OK);
    list.Reset(Child(client.Get(), 2));
    ASSERT_TRUE(list);
  }
  void TearDown() override {
    if (hook_) UnhookWinEvent(hook_);
    g_window = nullptr;
    g_player = nullptr;
    list.Reset();
    client.Reset();
    if (h.Running()) {
      EXPECT_TRUE(h.Stop());
    }
    CoUninitialize();
  }

  // Plays and holds still, so the playing row stays where it is.
  void PlayPaused() {
    h.Player().Play();
    h.Player().Pause();
    ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000));
  }
  bool Received(DWORD event, LONG child) {
    for (const Event& e : g_events)
      if (e.event == event && e.object == OBJID_CLIENT && e.child == child) return true;
    return false;
  }
  bool WaitFor(DWORD event, LONG child) {
    return h.PumpUntil([&] { return Received(event, child); }, 5000);
  }
  static LONG RowEvent(int row) { return 0x10000 + row; }

  Held<IAccessible> client;
  Held<IAccessible> list;

 private:
  HWINEVENTHOOK hook_ = nullptr;
};

TEST_F(ScreenReaderTest, ReadsEveryRowTheTitleTheButtonsAndTheScrollBar) {
  PlayPaused();
  EXPECT_EQ(Role(client.Get()), ROLE_SYSTEM_CLIENT);
  long count = 0;
  ASSERT_EQ(client->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 8);
  EXPECT_EQ(Role(client.Get(), 1), ROLE_SYSTEM_STATICTEXT);
  EXPECT_EQ(Role(list.Get()), ROLE_SYSTEM_LIST);
  EXPECT_EQ(Role(client.Get(), 8), ROLE_SYSTEM_SCROLLBAR);
  const char* buttons[] = {"Menu", "File", "Add", "Previous", "Next"};
  for (LONG i = 0; i < 5; ++i) {
    Held<IAccessible> button(Child(client.Get(), 3 + i));
    ASSERT_TRUE(button) << i;
    EXPECT_EQ(Name(button.Get()), buttons[i]);
    EXPECT_EQ(Role(button.Get()), ROLE_SYSTEM_PUSHBUTTON);
    BSTR action = nullptr;
    button->get_accDefaultAction(Id(CHILDID_SELF), &action);
    EXPECT_EQ(Narrow(action), "Press");
  }

  // Every row, each with its time as the time column shows it; the playing row's time is how
  // far into it playback is.
  ASSERT_EQ(list->get_accChildCount(&count), S_OK);
  ASSERT_EQ(count, kRows);
  const std::string track = Name(list.Get(), 1);
  EXPECT_EQ(track.rfind("Tester - Opening, ", 0), 0u) << track;
  EXPECT_NE(track.find(", track, playing"), std::string::npos) << track;
  EXPECT_EQ(Name(list.Get(), 2), "Theme, 0:01");
  EXPECT_EQ(Name(list.Get(), 3), "Close, 1:05, skipped");
  for (LONG row = 4; row <= kRows; ++row) {
    const std::string part = std::to_string(row - 3);
    EXPECT_EQ(Name(list.Get(), row), "Part " + part + ", " + std::to_string(row - 2) + ":00") << row;
  }
  for (LONG row = 1; row <= kRows; ++row) {
    EXPECT_EQ(Role(list.Get(), row), ROLE_SYSTEM_LISTITEM) << row;
    EXPECT_TRUE(State(list.Get(), row) & STATE_SYSTEM_SELECTABLE) << row;
  }
  // The last row is off the page: it says so, and its place is below the list's.
  EXPECT_EQ(State(list.Get(), 1) & STATE_SYSTEM_OFFSCREEN, 0);
  EXPECT_TRUE(State(list.Get(), kRows) & STATE_SYSTEM_OFFSCREEN);
  long listLeft = 0, listTop = 0, listWidth = 0, listHeight = 0, lastLeft = 0, lastTop = 0, lastWidth = 0,
       lastHeight = 0;
  ASSERT_EQ(list->accLocation(&listLeft, &listTop, &listWidth, &listHeight, Id(CHILDID_SELF)), S_OK);
  ASSERT_EQ(list->accLocation(&lastLeft, &lastTop, &lastWidth, &lastHeight, Id(kRows)), S_OK);
  EXPECT_GE(lastTop, listTop + listHeight);
  // A row as an object of its own answers the same, and is where the window draws it.
  Held<IAccessible> theme(Child(list.Get(), 2));
  ASSERT_TRUE(theme);
  EXPECT_EQ(Name(theme.Get()), "Theme, 0:01");
  long left = 0, top = 0, width = 0, height = 0;
  ASSERT_EQ(theme->accLocation(&left, &top, &width, &height, Id(CHILDID_SELF)), S_OK);
  const RECT window = h.Rect();
  EXPECT_GT(width, 0);
  EXPECT_GT(height, 0);
  EXPECT_TRUE(left >= window.left && left + width <= window.right && top >= window.top &&
              top + height <= window.bottom);
  VARIANT hit;
  VariantInit(&hit);
  ASSERT_EQ(list->accHitTest(left + width / 2, top + height / 2, &hit), S_OK);
  ASSERT_EQ(hit.vt, VT_DISPATCH);
  Held<IAccessible> hitRow;
  hit.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(hitRow.Out()));
  hit.pdispVal->Release();
  ASSERT_TRUE(hitRow);
  EXPECT_EQ(Name(hitRow.Get()), "Theme, 0:01");
}

TEST_F(ScreenReaderTest, KeyboardRowAfterDownAndHomeIsSelectedFocusedAndAnnounced) {
  PlayPaused();
  PostMessageA(h.Window(), UM_FOCUS_WINDOW, 0, 0);
  ASSERT_TRUE(h.WaitForPostedMessages());
  PostMessageA(h.Window(), WM_KEYDOWN, VK_HOME, 0);
  PostMessageA(h.Window(), WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(h.WaitForPostedMessages());
  EXPECT_TRUE(WaitFor(EVENT_OBJECT_SELECTION, RowEvent(1)));
  EXPECT_TRUE(WaitFor(EVENT_OBJECT_FOCUS, RowEvent(1)));
  EXPECT_EQ(State(list.Get(), 2) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED),
            STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED);
  EXPECT_EQ(State(list.Get(), 1) & STATE_SYSTEM_SELECTED, 0);
  // The event names the row through the client object, as a screen reader resolves it.
  Held<IAccessible> fromEvent;
  VARIANT child;
  VariantInit(&child);
  ASSERT_EQ(
      AccessibleObjectFromEvent(h.Window(), static_cast<DWORD>(OBJID_CLIENT), RowEvent(1), fromEvent.Out(), &child),
      S_OK);
  EXPECT_EQ(Name(fromEvent.Get(), child.lVal), "Theme, 0:01");

  g_events.clear();
  PostMessageA(h.Window(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_TRUE(WaitFor(EVENT_OBJECT_SELECTION, RowEvent(0)));
  EXPECT_TRUE(WaitFor(EVENT_OBJECT_FOCUS, RowEvent(0)));
  EXPECT_TRUE(State(list.Get(), 1) & STATE_SYSTEM_SELECTED);
  EXPECT_EQ(State(list.Get(), 2) & STATE_SYSTEM_SELECTED, 0);
}

struct ShownSearch {
  HWND found = nullptr;
};

BOOL CALLBACK MatchShownMenu(HWND window, LPARAM lParam) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::strcmp(name, "#32768") != 0 || !IsWindowVisible(window)) return TRUE;
  reinterpret_cast<ShownSearch*>(lParam)->found = window;
  return FALSE;
}

// The popup menu the plug-in's thread shows, or null.
HWND ShownMenu(DWORD thread) {
  ShownSearch search;
  EnumThreadWindows(thread, MatchShownMenu, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TEST_F(ScreenReaderTest, DefaultActionPressesEachButton) {
  PlayPaused();
  auto press = [&](LONG button) { return client->accDoDefaultAction(Id(3 + button)); };
  ASSERT_EQ(press(4), S_OK);  // Next
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 1); }, 3000)) << *h.CurrentKey();
  ASSERT_EQ(press(3), S_OK);  // Previous
  EXPECT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000)) << *h.CurrentKey();
  ASSERT_EQ(press(2), S_OK);  // Add
  long rows = 0;
  EXPECT_TRUE(h.PumpUntil([&] { return list->get_accChildCount(&rows) == S_OK && rows == kRows + 1; }, 3000)) << rows;
  EXPECT_TRUE(WaitFor(EVENT_OBJECT_REORDER, 2));  // the list's children changed
  // Menu and File open their menus once the call has returned; Escape closes each.
  for (LONG button : {0, 1}) {
    ASSERT_EQ(press(button), S_OK) << button;
    HWND menu = nullptr;
    ASSERT_TRUE(h.PumpUntil([&] { return (menu = ShownMenu(h.UiThreadId())) != nullptr; }, 5000)) << button;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(h.PumpUntil([&] { return ShownMenu(h.UiThreadId()) == nullptr; }, 5000)) << button;
  }
  // The list, the title and the scroll bar have no default action.
  EXPECT_EQ(client->accDoDefaultAction(Id(2)), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(client->accDoDefaultAction(Id(99)), E_INVALIDARG);
}

// Without a mouse: F10 opens the window's menu (every command not on a key is in it or in the
// list's), and Shift+F10 or the Applications key the list's menu at the keyboard row.
TEST_F(ScreenReaderTest, KeysOpenTheWindowsMenuAndTheListsMenu) {
  PlayPaused();
  // Which menu opened, by its first item.
  auto expectMenuAfter = [&](UINT message, WPARAM key, UINT firstItem, const char* what) {
    PostMessageA(h.Window(), message, key, 0);
    HWND menu = nullptr;
    ASSERT_TRUE(h.PumpUntil([&] { return (menu = ShownMenu(h.UiThreadId())) != nullptr; }, 5000)) << what;
    constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
    const auto shown = reinterpret_cast<HMENU>(SendMessageA(menu, kGetMenuHandle, 0, 0));
    EXPECT_EQ(GetMenuItemID(shown, 0), firstItem) << what;
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(h.PumpUntil([&] { return ShownMenu(h.UiThreadId()) == nullptr; }, 5000)) << what;
  };
  expectMenuAfter(WM_SYSKEYDOWN, VK_F10, IDM_ABOUT, "F10");
  PostMessageA(h.Window(), WM_KEYDOWN, VK_HOME, 0);
  expectMenuAfter(WM_KEYDOWN, VK_APPS, IDM_CONTEXT_PLAY, "Applications key");
  const testhost::HeldKeys shift({VK_SHIFT}, h.UiThreadId());
  ASSERT_TRUE(shift.Ok());
  expectMenuAfter(WM_SYSKEYDOWN, VK_F10, IDM_CONTEXT_PLAY, "Shift+F10");
}

// The highlight moves to Theme at 1 s: the screen reader hears the row's name change within
// 100 ms of the boundary, measured by the player's position when the event reaches the hook.
TEST_F(ScreenReaderTest, PlayingRowChangeIsAnnouncedWithinATenthOfASecond) {
  h.Player().Play();
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 0); }, 3000));
  ASSERT_TRUE(WaitFor(EVENT_OBJECT_NAMECHANGE, RowEvent(1)));
  int latency = -1;
  for (const Event& e : g_events)
    if (e.event == EVENT_OBJECT_NAMECHANGE && e.child == RowEvent(1)) latency = e.positionMs - 1000;
  EXPECT_GE(latency, 0) << "announced before the boundary";
  EXPECT_LT(latency, 100);
  std::printf("announcement latency after the boundary: %d ms\n", latency);
  RecordProperty("announcement_latency_ms", latency);
  EXPECT_EQ(h.CurrentKey(), MakeItemId(1, 1));
  EXPECT_NE(Name(list.Get(), 2).find(", playing"), std::string::npos) << Name(list.Get(), 2);
  EXPECT_EQ(Name(list.Get(), 1).find("playing"), std::string::npos) << Name(list.Get(), 1);
  // The row that stopped playing is told too.
  EXPECT_TRUE(Received(EVENT_OBJECT_NAMECHANGE, RowEvent(0)));
}

TEST_F(ScreenReaderTest, NothingIsRaisedWhileTheWindowIsHidden) {
  PlayPaused();
  PostMessageA(h.Window(), UM_HIDE_WINDOW, 0, 0);
  ASSERT_TRUE(h.PumpUntil([&] { return !h.Visible(); }, 3000));
  ASSERT_TRUE(h.WaitForPostedMessages());
  g_events.clear();
  PostMessageA(h.Window(), WM_KEYDOWN, VK_HOME, 0);
  PostMessageA(h.Window(), WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_TRUE(h.Command(IDM_NEXT_SUBTRACK));
  ASSERT_TRUE(h.PumpUntil([&] { return h.CurrentKey() == MakeItemId(1, 1); }, 3000));
  ASSERT_TRUE(h.WaitForPostedMessages());
  EXPECT_TRUE(g_events.empty()) << g_events.size() << " events, the first " << g_events[0].event;
  // Shown again, the same moves are heard.
  PostMessageA(h.Window(), UM_SHOW_WINDOW, 0, 0);
  ASSERT_TRUE(h.PumpUntil([&] { return h.Visible(); }, 3000));
  ASSERT_TRUE(h.WaitForPostedMessages());
  PostMessageA(h.Window(), WM_KEYDOWN, VK_HOME, 0);
  ASSERT_TRUE(h.Command(IDM_PREVIOUS_SUBTRACK));
  EXPECT_TRUE(WaitFor(EVENT_OBJECT_SELECTION, RowEvent(0)));
  EXPECT_TRUE(WaitFor(EVENT_OBJECT_NAMECHANGE, RowEvent(0)));
}

// Objects a screen reader still holds after the plug-in quit answer that they are gone (which
// error says so is the system's: the element's own CO_E_OBJNOTCONNECTED while the thread's
// apartment stands, RPC_E_DISCONNECTED on Windows and RPC_S_UNKNOWN_IF under Wine once it is
// left), and nothing of the gone window is read.
TEST_F(ScreenReaderTest, ObjectsHeldPastQuitAreDisconnected) {
  Held<IAccessible> row(Child(list.Get(), 1));
  ASSERT_TRUE(row);
  ASSERT_TRUE(h.Stop());
  BSTR name = nullptr;
  const HRESULT answer = row->get_accName(Id(CHILDID_SELF), &name);
  EXPECT_TRUE(FAILED(answer)) << std::hex << answer;
  EXPECT_EQ(name, nullptr);
  long count = 0;
  EXPECT_TRUE(FAILED(client->get_accChildCount(&count)));
}

// A screen reader names a dialog's field after the static text just before it: every edit and
// hot key field of the editing and options dialogs has one.
TEST(DialogLabels, EveryFieldFollowsItsLabel) {
  PluginSession h;
  ASSERT_TRUE(h.Start());
  for (const char* caption : {"Edit subtrack", "Tarnix - Edit track", "Tarnix - Options"}) {
    HWND dialog = testhost::FindThreadWindow(h.UiThreadId(), caption);
    ASSERT_NE(dialog, nullptr) << caption;
    int fields = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char kind[32] = {};
      GetClassNameA(child, kind, sizeof kind);
      if (_stricmp(kind, "Edit") != 0 && _stricmp(kind, "msctls_hotkey32") != 0) continue;
      ++fields;
      HWND label = GetWindow(child, GW_HWNDPREV);
      char labelKind[32] = {};
      char text[64] = {};
      if (label) {
        GetClassNameA(label, labelKind, sizeof labelKind);
        GetWindowTextA(label, text, sizeof text);
      }
      EXPECT_TRUE(_stricmp(labelKind, "Static") == 0 && text[0] != '\0')
          << caption << ", field " << GetDlgCtrlID(child) << ": before it " << labelKind << " \"" << text << "\"";
    }
    EXPECT_GT(fields, 0) << caption;
  }
  EXPECT_TRUE(h.Stop());
}

}  // namespace
}  // namespace tarnix::test
