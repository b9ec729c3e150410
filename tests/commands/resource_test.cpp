// The compiled resources as the plug-in loads them: the popup menus with every id and text,
// the four dialogs with their controls, the built-in skin bitmap, the icon and the version block.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "../../tools/skin/skin_palette.h"
#include "resource_ids.h"

namespace tarnix {
namespace {

namespace pal = skin::palette;

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

std::string MenuText(HMENU menu, int pos) {
  char buffer[128] = {};
  GetMenuStringA(menu, static_cast<UINT>(pos), buffer, sizeof buffer, MF_BYPOSITION);
  return buffer;
}

struct Item {
  int id;  // 0: separator, -1: submenu
  const char* text;
};

void ExpectItems(HMENU menu, const std::vector<Item>& items, const char* where) {
  ASSERT_NE(menu, nullptr) << where;
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size())) << where;
  for (size_t i = 0; i < items.size(); ++i) {
    const int pos = static_cast<int>(i);
    const UINT state = GetMenuState(menu, pos, MF_BYPOSITION);
    if (items[i].id == 0) {
      EXPECT_TRUE(state & MF_SEPARATOR) << where << " #" << i;
      continue;
    }
    EXPECT_EQ(MenuText(menu, pos), items[i].text) << where << " #" << i;
    if (items[i].id == -1) {
      EXPECT_NE(GetSubMenu(menu, pos), nullptr) << where << " #" << i;
    } else {
      EXPECT_EQ(static_cast<int>(GetMenuItemID(menu, pos)), items[i].id) << where << " #" << i;
      EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) << where << " #" << i;
    }
  }
}

TEST(Resources, MenuHoldsEveryPopupAndItem) {
  HMENU bar = LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_MENUS));
  ASSERT_NE(bar, nullptr);
  ExpectItems(bar, {{-1, "Bkg"}, {-1, "Menu"}, {-1, "Add"}, {-1, "Prev"}, {-1, "Next"}, {-1, "Context"}}, "bar");
  HMENU bkg = GetSubMenu(bar, MENU_POS_BKG);
  ExpectItems(bkg,
              {{IDM_ABOUT, "&Tarnix Plugin..."},
               {IDM_OPTIONS, "&Options..."},
               {0, ""},
               {-1, "&File"},
               {-1, "&Edit"},
               {-1, "&Play"}},
              "Bkg");
  ExpectItems(GetSubMenu(bkg, MENU_POS_BKG_FILE),
              {{40003, "&New"},
               {40004, "&Open..."},
               {40005, "&Save"},
               {40006, "Save &As..."},
               {0, ""},
               {40101, "&Paste tracklist"},
               {40102, "&Export cue sheet..."},
               {40105, "Export &chapters..."}},
              "File");
  ExpectItems(GetSubMenu(bkg, 4), {{40019, "&Track..."}, {40020, "&Subtrack..."}}, "Edit");
  ExpectItems(
      GetSubMenu(bkg, 5),
      {{40017, "Play &track"}, {40014, "&First subtrack"}, {40015, "&Previous subtrack"}, {40016, "&Next subtrack"}},
      "Play");
  ExpectItems(GetSubMenu(bar, MENU_POS_MENU), {{40001, "&About..."}, {40002, "&Options..."}}, "Menu");
  ExpectItems(GetSubMenu(bar, MENU_POS_ADD), {{40008, "&Insert subtrack"}, {40009, "&Remove subtrack"}}, "Add");
  ExpectItems(GetSubMenu(bar, MENU_POS_PREV), {{40015, "&Previous subtrack"}}, "Prev");
  ExpectItems(GetSubMenu(bar, MENU_POS_NEXT), {{40016, "&Next subtrack"}}, "Next");
  ExpectItems(GetSubMenu(bar, MENU_POS_CONTEXT),
              {{40010, "&Play\t(Enter)"},
               {40011, "&Repeat\t(R)"},
               {40012, "&Insert\t(Ins)"},
               {40013, "&Delete\t(Del)"},
               {40021, "&Edit...\t(E)"}},
              "Context");
  DestroyMenu(bar);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// A dialog created from its resource, destroyed at the end of the test.
class Dialog {
 public:
  explicit Dialog(int id) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    window_ = CreateDialogParamA(Self(), MAKEINTRESOURCEA(id), nullptr, QuietDialogProc, 0);
  }
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  ~Dialog() {
    if (window_) DestroyWindow(window_);
  }
  HWND Get() const { return window_; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  LONG_PTR Style(int id) const { return GetWindowLongPtrA(Item(id), GWL_STYLE); }
  // Where a control sits in the dialog's client area.
  RECT Place(HWND control) const {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // Every control lies inside the client area, and none covers another beyond a sliver (check
  // boxes 13 units tall stand 12 apart), except a group box around what it frames and an
  // up-down on the edge of its buddy: a control moved onto another would be hidden or
  // unclickable.
  void ExpectControlsFit() const {
    RECT client;
    GetClientRect(window_, &client);
    std::vector<std::pair<HWND, RECT>> controls;
    for (HWND c = GetWindow(window_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      const RECT r = Place(c);
      EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
          << GetDlgCtrlID(c) << " \"" << TextOf(c) << "\" leaves the dialog";
      const bool groupBox = ClassOf(c) == "Button" && (GetWindowLongPtrA(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
      if (!groupBox) controls.emplace_back(c, r);
    }
    auto buddies = [](HWND a, HWND b) {
      return reinterpret_cast<HWND>(SendMessageA(a, UDM_GETBUDDY, 0, 0)) == b ||
             reinterpret_cast<HWND>(SendMessageA(b, UDM_GETBUDDY, 0, 0)) == a;
    };
    for (size_t a = 0; a < controls.size(); ++a)
      for (size_t b = a + 1; b < controls.size(); ++b) {
        RECT both;
        if (!IntersectRect(&both, &controls[a].second, &controls[b].second)) continue;
        if (both.right - both.left <= 2 || both.bottom - both.top <= 2) continue;
        EXPECT_TRUE(buddies(controls[a].first, controls[b].first))
            << "\"" << TextOf(controls[a].first) << "\" (" << GetDlgCtrlID(controls[a].first) << ") and \""
            << TextOf(controls[b].first) << "\" (" << GetDlgCtrlID(controls[b].first) << ") overlap";
      }
  }
  // The controls Tab visits, in the order it visits them (the order of the script).
  std::vector<int> TabOrder() const {
    std::vector<int> ids;
    for (HWND c = GetWindow(window_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (GetWindowLongPtrA(c, GWL_STYLE) & WS_TABSTOP) ids.push_back(GetDlgCtrlID(c));
    return ids;
  }

 private:
  HWND window_ = nullptr;
};

void ExpectHiddenToolDialog(const Dialog& d, const char* caption) {
  ASSERT_NE(d.Get(), nullptr) << caption;
  EXPECT_EQ(TextOf(d.Get()), caption);
  EXPECT_FALSE(IsWindowVisible(d.Get())) << caption;
  const LONG_PTR style = GetWindowLongPtrA(d.Get(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION) << caption;
  EXPECT_TRUE(style & WS_SYSMENU) << caption;
  EXPECT_FALSE(style & WS_CHILD) << caption;
}

TEST(Resources, EditSubtrackDialog) {
  Dialog d(IDD_EDIT_SUBTRACK);
  ExpectHiddenToolDialog(d, "Edit subtrack");
  const LONG_PTR ex = GetWindowLongPtrA(d.Get(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_APPWINDOW);
  d.ExpectControlsFit();
  EXPECT_EQ(d.TabOrder(), (std::vector<int>{IDC_SUBTRACK_NAME, IDC_MINUTES, IDC_SECONDS, IDC_FRAMES, IDC_ADD_SUBTRACK,
                                            IDC_DELETE_SUBTRACK, IDC_CURRENT_TIME}));
  for (int id : {IDC_SUBTRACK_NAME, IDC_MINUTES, IDC_SECONDS, IDC_FRAMES}) EXPECT_EQ(ClassOf(d.Item(id)), "Edit") << id;
  EXPECT_TRUE(d.Style(IDC_SUBTRACK_NAME) & ES_AUTOHSCROLL);
  for (int id : {IDC_MINUTES, IDC_SECONDS, IDC_FRAMES}) EXPECT_TRUE(d.Style(id) & ES_NUMBER) << id;
  EXPECT_FALSE(d.Style(IDC_SUBTRACK_NAME) & ES_NUMBER);
  struct Spin {
    int id, buddy;
    bool wraps;
  };
  for (const Spin& s : {Spin{IDC_SUBTRACK_SPIN, IDC_SUBTRACK_NAME, false}, Spin{IDC_MINUTES_SPIN, IDC_MINUTES, true},
                        Spin{IDC_SECONDS_SPIN, IDC_SECONDS, true}, Spin{IDC_FRAMES_SPIN, IDC_FRAMES, true}}) {
    HWND spin = d.Item(s.id);
    ASSERT_NE(spin, nullptr) << s.id;
    EXPECT_STRCASEEQ(ClassOf(spin).c_str(), "msctls_updown32");
    const LONG_PTR style = d.Style(s.id);
    EXPECT_EQ(style & (UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_ALIGNRIGHT), UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_ALIGNRIGHT)
        << s.id;
    EXPECT_EQ((style & UDS_WRAP) != 0, s.wraps) << s.id;
    EXPECT_FALSE(style & UDS_SETBUDDYINT) << s.id;  // only the reported delta is used
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)), d.Item(s.buddy)) << s.id;
  }
  const std::pair<int, const char*> buttons[] = {{IDC_ADD_SUBTRACK, "&Add subtrack"},
                                                 {IDC_DELETE_SUBTRACK, "&Delete subtrack"},
                                                 {IDC_CURRENT_TIME, "&Current time"}};
  for (auto [id, text] : buttons) {
    EXPECT_EQ(ClassOf(d.Item(id)), "Button") << id;
    EXPECT_EQ(TextOf(d.Item(id)), text);
  }
  // The labels of the fields, as static texts.
  std::vector<std::string> labels;
  for (HWND c = GetWindow(d.Get(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "Static") labels.push_back(TextOf(c));
  EXPECT_EQ(labels, (std::vector<std::string>{"&Name", "&Min", "&Sec", "&Frame"}));
}

TEST(Resources, EditTrackDialog) {
  Dialog d(IDD_EDIT_TRACK);
  ExpectHiddenToolDialog(d, "Tarnix - Edit track");
  const LONG_PTR ex = GetWindowLongPtrA(d.Get(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(ex & WS_EX_APPWINDOW);
  d.ExpectControlsFit();
  EXPECT_EQ(d.TabOrder(), (std::vector<int>{IDC_TRACK_NAME, IDC_ALBUM, IDC_ARTIST}));
  for (int id : {IDC_TRACK_NAME, IDC_ALBUM, IDC_ARTIST}) EXPECT_EQ(ClassOf(d.Item(id)), "Edit") << id;
  std::vector<std::string> labels;
  int buttons = 0;
  for (HWND c = GetWindow(d.Get(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (ClassOf(c) == "Static") labels.push_back(TextOf(c));
    if (ClassOf(c) == "Button") ++buttons;
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"Track name:", "Album name:", "Artist/group:"}));
  EXPECT_EQ(buttons, 0);
}

TEST(Resources, OptionsDialog) {
  Dialog d(IDD_OPTIONS);
  ExpectHiddenToolDialog(d, "Tarnix - Options");
  d.ExpectControlsFit();
  EXPECT_EQ(d.TabOrder(), (std::vector<int>{IDC_AUTO_SAVE, IDC_AUTO_POPUP, IDC_PRINT_TIME, IDC_SHOW_TRACK,
                                            IDC_TOP_TRACK, IDC_BOOKMARK_PATH, IDC_HOTKEY, IDOK, IDCANCEL}));
  struct Check {
    int id;
    const char* text;
  };
  const Check checks[] = {
      {IDC_AUTO_SAVE, "Save track lists automatically"}, {IDC_AUTO_POPUP, "Popup if bookmarks are found"},
      {IDC_PRINT_TIME, "Show time for subtracks"},       {IDC_SHOW_TRACK, "Show track name in the list"},
      {IDC_TOP_TRACK, "Always show track name"},
  };
  for (const Check& c : checks) {
    EXPECT_EQ(TextOf(d.Item(c.id)), c.text);
    EXPECT_EQ(d.Style(c.id) & BS_TYPEMASK, BS_AUTOCHECKBOX) << c.id;
    EXPECT_TRUE(IsWindowEnabled(d.Item(c.id))) << c.id;
  }
  // "Always show track name" depends on the one above it: indented beneath it.
  EXPECT_GT(d.Place(d.Item(IDC_TOP_TRACK)).left, d.Place(d.Item(IDC_SHOW_TRACK)).left);
  EXPECT_EQ(ClassOf(d.Item(IDC_BOOKMARK_PATH)), "Edit");
  EXPECT_STRCASEEQ(ClassOf(d.Item(IDC_HOTKEY)).c_str(), "msctls_hotkey32");
  EXPECT_EQ(TextOf(d.Item(IDOK)), "OK");
  EXPECT_EQ(d.Style(IDOK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(TextOf(d.Item(IDCANCEL)), "Cancel");
  std::vector<std::string> groups;
  for (HWND c = GetWindow(d.Get(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if ((GetWindowLongPtrA(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX && ClassOf(c) == "Button")
      groups.push_back(TextOf(c));
  EXPECT_EQ(groups, (std::vector<std::string>{"Options", "Bookmark directory", "Hot key"}));
}

TEST(Resources, AboutDialog) {
  Dialog d(IDD_ABOUT);
  ExpectHiddenToolDialog(d, "Tarnix Plugin");
  d.ExpectControlsFit();
  EXPECT_EQ(d.TabOrder(), (std::vector<int>{IDOK}));
  EXPECT_EQ(d.Style(IDC_VERSION) & SS_TYPEMASK, SS_CENTER);
  EXPECT_EQ(d.Style(IDOK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  int credits = 0;
  for (HWND c = GetWindow(d.Get(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "Static" && c != d.Item(IDC_VERSION)) {
      EXPECT_EQ(GetWindowLongPtrA(c, GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
      EXPECT_FALSE(TextOf(c).empty());
      ++credits;
    }
  EXPECT_EQ(credits, 4);
}

TEST(Resources, SkinBitmapHoldsTheBuiltInImage) {
  HBITMAP bitmap = LoadBitmapA(Self(), MAKEINTRESOURCEA(IDB_SKIN));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 280);
  EXPECT_EQ(info.bmHeight, 132);

  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  struct Probe {
    int x, y;
    std::uint32_t rgb;
    const char* what;
  };
  const Probe probes[] = {
      {0, 0, pal::kOuterHi, "caption top-left edge"},
      {30, 4, pal::kStripeOn, "active caption stripe"},
      {30, 25, pal::kStripeOff, "inactive caption stripe"},
      {168, 8, pal::kButtonFace, "close button face"},
      {36, 50, pal::kTrack, "scroll track under the thumb"},
      {11, 60, pal::kDeep, "left border's inner edge"},
      {52, 53, pal::kThumbHi, "thumb edge"},
      {63, 55, pal::kThumbDownFace, "pressed thumb face"},
      {108, 80, pal::kButtonHi, "button 0 normal edge"},
      {108, 111, pal::kButtonShadow, "button 0 pressed edge"},
      {190, 10, pal::kFrame, "bottom bar filler"},
      {150, 109, pal::kShadow, "bottom bar outer edge"},
  };
  for (const Probe& p : probes) {
    const COLORREF c = GetPixel(dc, p.x, p.y);
    const std::uint32_t rgb = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    EXPECT_EQ(rgb, p.rgb) << p.what << " at " << p.x << "," << p.y;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(Resources, IconHasSmallAndLargeImages) {
  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(LoadImageA(Self(), MAKEINTRESOURCEA(IDI_TARNIX), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(Resources, VersionBlock) {
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00040001u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00020000u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00040001u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00020000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  const std::pair<const char*, const char*> strings[] = {
      {"FileDescription", "Tarnix Plugin"}, {"ProductName", "Tarnix Plugin"}, {"OriginalFilename", "gen_tarnix.dll"},
      {"FileVersion", "4.1.2.0"},           {"ProductVersion", "4.1.2.0"},
  };
  for (auto [key, expected] : strings) {
    char* value = nullptr;
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + key;
    ASSERT_TRUE(VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
    EXPECT_STREQ(value, expected) << key;
  }
}

}  // namespace
}  // namespace tarnix
