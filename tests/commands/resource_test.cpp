// The compiled resources against what the code and the read-me rely on: every menu item reaches
// a command, the popups sit where the code takes them, every dialog control the code names is in
// its dialog, the texts the read-me quotes are on the menus and dialogs, and the dialogs, the
// skin bitmap, the icon and the version block load.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../../tools/skin/skin_palette.h"
#include "commands/commands.h"
#include "resource_ids.h"

namespace tarnix {
namespace {

namespace pal = skin::palette;

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

// An item's text as the listener reads it: without the mnemonic's '&' and the key hint after the tab.
std::string VisibleText(std::string text) {
  text = text.substr(0, text.find('\t'));
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

std::string MenuText(HMENU menu, int pos) {
  char buffer[128] = {};
  GetMenuStringA(menu, static_cast<UINT>(pos), buffer, sizeof buffer, MF_BYPOSITION);
  return buffer;
}

struct MenuItem {
  UINT id;
  std::string where;  // "Bkg > File > Save", for the failure message
};

void CollectCommands(HMENU menu, const std::string& path, std::vector<MenuItem>* items) {
  for (int pos = 0, count = GetMenuItemCount(menu); pos < count; ++pos) {
    const std::string where = path + " > " + VisibleText(MenuText(menu, pos));
    if (HMENU popup = GetSubMenu(menu, pos))
      CollectCommands(popup, where, items);
    else if (!(GetMenuState(menu, static_cast<UINT>(pos), MF_BYPOSITION) & MF_SEPARATOR))
      items->push_back({GetMenuItemID(menu, pos), where});
  }
}

// The menu bar the plug-in takes its popups from, destroyed at the end of the test.
class Menus {
 public:
  Menus() : bar_(LoadMenuA(Self(), MAKEINTRESOURCEA(IDR_MENUS))) {}
  Menus(const Menus&) = delete;
  Menus& operator=(const Menus&) = delete;
  ~Menus() {
    if (bar_) DestroyMenu(bar_);
  }
  HMENU Bar() const { return bar_; }
  HMENU Popup(int pos) const { return GetSubMenu(bar_, pos); }
  HMENU File() const { return GetSubMenu(Popup(MENU_POS_BKG), MENU_POS_BKG_FILE); }

 private:
  HMENU bar_;
};

TEST(Resources, EveryMenuItemReachesACommand) {
  Menus menus;
  ASSERT_NE(menus.Bar(), nullptr);
  std::vector<MenuItem> items;
  CollectCommands(menus.Bar(), "menus", &items);
  ASSERT_FALSE(items.empty());
  for (const MenuItem& item : items) EXPECT_TRUE(HasCommandHandler(item.id)) << item.where << " (" << item.id << ")";
  // The table runs the first entry of an id: an id given to two commands runs only one of them.
  std::vector<int32_t> ids;
  for (const CommandEntry* entry = kCommandTable; entry->id >= 0; ++entry) ids.push_back(entry->id);
  std::sort(ids.begin(), ids.end());
  const auto twice = std::adjacent_find(ids.begin(), ids.end());
  if (twice != ids.end()) ADD_FAILURE() << "command id " << *twice << " is in the table twice";
}

TEST(Resources, PopupsSitWhereTheCodeTakesThem) {
  Menus menus;
  // Each button opens its popup by position: the popup holds the command the button is named after.
  const std::pair<int, UINT> popups[] = {{MENU_POS_BKG, IDM_OPTIONS},         {MENU_POS_MENU, IDM_ABOUT},
                                         {MENU_POS_ADD, IDM_INSERT_SUBTRACK}, {MENU_POS_PREV, IDM_PREVIOUS_SUBTRACK},
                                         {MENU_POS_NEXT, IDM_NEXT_SUBTRACK},  {MENU_POS_CONTEXT, IDM_CONTEXT_PLAY}};
  for (auto [pos, command] : popups) {
    ASSERT_NE(menus.Popup(pos), nullptr) << pos;
    EXPECT_NE(GetMenuState(menus.Popup(pos), command, MF_BYCOMMAND), static_cast<UINT>(-1)) << pos << ": " << command;
  }
  ASSERT_NE(menus.File(), nullptr);
  EXPECT_EQ(VisibleText(MenuText(menus.Popup(MENU_POS_BKG), MENU_POS_BKG_FILE)), "File");
  // The context menu's states are set by position for these two.
  HMENU context = menus.Popup(MENU_POS_CONTEXT);
  EXPECT_EQ(GetMenuItemID(context, MENU_POS_CONTEXT_REPEAT), static_cast<UINT>(IDM_REPEAT));
  EXPECT_EQ(GetMenuItemID(context, MENU_POS_CONTEXT_DELETE), static_cast<UINT>(IDM_DELETE));
}

// The key hint of the item whose visible text is `text` ("" without one), or "?" when no item
// of the menu has that text.
std::string KeyHintOf(HMENU menu, const std::string& text) {
  for (int pos = 0, count = GetMenuItemCount(menu); pos < count; ++pos) {
    const std::string full = MenuText(menu, pos);
    if (VisibleText(full) != text) continue;
    const size_t tab = full.find('\t');
    return tab == std::string::npos ? std::string() : full.substr(tab + 1);
  }
  return "?";
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

// A dialog created from its resource as the plug-in creates it, destroyed at the end of the test.
class Dialog {
 public:
  explicit Dialog(int id) {
    // Only the classes the plug-in registers itself: a player need not have loaded the common
    // controls, and a control of another class would make the dialog fail to load there.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS};
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
  bool HasText(const std::string& text) const {
    for (HWND c = GetWindow(window_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (VisibleText(TextOf(c)) == text) return true;
    return false;
  }
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

 private:
  HWND window_ = nullptr;
};

TEST(Resources, TextsTheReadMeQuotesAreThere) {
  Menus menus;
  HMENU context = menus.Popup(MENU_POS_CONTEXT);
  struct Quoted {
    HMENU menu;
    const char* text;
    const char* keyHint;  // the key the read-me gives for it
  };
  const Quoted quoted[] = {
      {menus.File(), "Paste tracklist", ""},
      {menus.File(), "Export cue sheet...", ""},
      {menus.File(), "Export chapters...", ""},
      {menus.Popup(MENU_POS_BKG), "Options...", ""},
      {context, "Stop after this subtrack", "(T)"},
      {context, "Skip this subtrack", "(K)"},
      {context, "Repeat", "(R)"},
      {context, "Insert", "(Ins)"},
      {context, "Delete", "(Del)"},
      {context, "Edit...", "(E)"},
  };
  for (const Quoted& q : quoted) EXPECT_EQ(KeyHintOf(q.menu, q.text), q.keyHint) << q.text;
  Dialog options(IDD_OPTIONS);
  for (const char* text : {"Resume long recordings where they were left", "Popup if bookmarks are found"})
    EXPECT_TRUE(options.HasText(text)) << text;
}

// The sources are read where the build found them, through Wine's drive for the root.
std::string SourcePath(const std::string& relative) { return std::string("Z:") + TARNIX_SOURCE_DIR "/" + relative; }

std::string ReadSource(const std::string& relative) {
  std::ifstream in(SourcePath(relative));
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The values of the ids resource_ids.h defines, by name.
std::map<std::string, int> ResourceIds() {
  std::istringstream in(ReadSource("resources/resource_ids.h"));
  std::map<std::string, int> ids;
  const std::regex define(R"(^#define (ID\w+) (-?\d+))");
  std::smatch m;
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, m, define)) ids[m[1]] = std::stoi(m[2]);
  return ids;
}

std::vector<std::string> SourcesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(SourcePath(folder + "/*.cpp").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(folder + "/" + found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

TEST(Resources, EveryControlTheCodeNamesIsInItsDialog) {
  // The dialog whose controls each source that names controls works on.
  const std::map<std::string, int> dialogOf = {
      {"commands/options_dialog.cpp", IDD_OPTIONS},
      {"commands/subtrack_dialog.cpp", IDD_EDIT_SUBTRACK},
      {"commands/subtrack_editing.cpp", IDD_EDIT_SUBTRACK},
      {"commands/track_dialog.cpp", IDD_EDIT_TRACK},
      {"plugin/ui_thread.cpp", IDD_ABOUT},
  };
  const std::map<std::string, int> ids = ResourceIds();
  ASSERT_GT(ids.count("IDC_VERSION"), 0u) << "resource_ids.h not read from " << SourcePath("resources");
  std::vector<std::string> sources = SourcesIn("commands");
  const std::vector<std::string> plugin = SourcesIn("plugin");
  sources.insert(sources.end(), plugin.begin(), plugin.end());
  ASSERT_GT(sources.size(), dialogOf.size());
  const std::regex control(R"(\bIDC_\w+)");
  int named = 0;
  for (const std::string& source : sources) {
    const std::string code = ReadSource(source);
    std::set<std::string> names;  // ours only, not the system's (IDC_ARROW)
    for (std::sregex_iterator m(code.begin(), code.end(), control), end; m != end; ++m)
      if (ids.count(m->str())) names.insert(m->str());
    if (names.empty()) continue;
    const auto dialog = dialogOf.find(source);
    if (dialog == dialogOf.end()) {
      ADD_FAILURE() << source << " names " << *names.begin() << ": say in this test which dialog it works on";
      continue;
    }
    const Dialog d(dialog->second);
    ASSERT_NE(d.Get(), nullptr) << dialog->second;
    for (const std::string& name : names) {
      EXPECT_NE(d.Item(ids.at(name)), nullptr) << source << " names " << name << ", not in dialog " << dialog->second;
      ++named;
    }
  }
  EXPECT_GT(named, 0);
}

TEST(Resources, DialogsLoadHiddenAndTheirControlsFit) {
  for (int id : {IDD_EDIT_SUBTRACK, IDD_EDIT_TRACK, IDD_OPTIONS, IDD_ABOUT}) {
    SCOPED_TRACE(id);
    Dialog d(id);
    ASSERT_NE(d.Get(), nullptr);
    EXPECT_FALSE(IsWindowVisible(d.Get())) << "the plug-in shows its dialogs itself";
    d.ExpectControlsFit();
  }
  // Each up-down takes the control before it in the script as its buddy (UDS_AUTOBUDDY).
  Dialog d(IDD_EDIT_SUBTRACK);
  const std::pair<int, int> spins[] = {{IDC_SUBTRACK_SPIN, IDC_SUBTRACK_NAME},
                                       {IDC_MINUTES_SPIN, IDC_MINUTES},
                                       {IDC_SECONDS_SPIN, IDC_SECONDS},
                                       {IDC_FRAMES_SPIN, IDC_FRAMES}};
  for (auto [spin, buddy] : spins)
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(d.Item(spin), UDM_GETBUDDY, 0, 0)), d.Item(buddy)) << spin;
}

TEST(Resources, SkinBitmapHoldsTheBuiltInImage) {
  HBITMAP bitmap = LoadBitmapA(Self(), MAKEINTRESOURCEA(IDB_SKIN));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(bitmap, sizeof info, &info));
  EXPECT_EQ(info.bmWidth, 280);
  EXPECT_EQ(info.bmHeight, 132);

  // A few pixels of the image against its generator's palette: skin.bmp is what make-skin.sh makes.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  struct Probe {
    int x, y;
    std::uint32_t rgb;
    const char* what;
  };
  const Probe probes[] = {
      {0, 0, pal::kOuterHi, "caption top-left edge"},  {30, 4, pal::kStripeOn, "active caption stripe"},
      {168, 8, pal::kButtonFace, "close button face"}, {52, 53, pal::kThumbHi, "thumb edge"},
      {108, 80, pal::kButtonHi, "button 0 edge"},      {150, 109, pal::kShadow, "bottom bar outer edge"},
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

TEST(Resources, VersionBlockCarriesTheProjectVersion) {
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
  std::ostringstream numbers;
  numbers << HIWORD(fixed->dwFileVersionMS) << '.' << LOWORD(fixed->dwFileVersionMS) << '.'
          << HIWORD(fixed->dwFileVersionLS) << '.' << LOWORD(fixed->dwFileVersionLS);
  const std::string version = TARNIX_VERSION ".0";  // the version project() in CMakeLists.txt gives
  EXPECT_EQ(numbers.str(), version);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  const std::pair<const char*, std::string> strings[] = {
      {"FileVersion", version}, {"ProductVersion", version}, {"OriginalFilename", "gen_tarnix.dll"}};
  for (const auto& [key, expected] : strings) {
    char* value = nullptr;
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + key;
    ASSERT_TRUE(VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << key;
    EXPECT_EQ(value, expected) << key;
  }
}

}  // namespace
}  // namespace tarnix
