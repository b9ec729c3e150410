// The window as a screen reader is told it: every answer is read from the Plugin at the moment
// it is asked, so nothing here can go stale.

#include "accessibility/accessible_tree.h"

#include <oleacc.h>

#include <string_view>

#include "host/plugin.h"
#include "listening_playback/listening_tick.h"
#include "skin/skin_button.h"
#include "skin/skin_scroll_bar.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "tracklist/item_id.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

struct SpokenButtonText {
  const wchar_t* name;
  const wchar_t* description;
  const wchar_t* shortcut;
};

constexpr SpokenButtonText kButtonTexts[kSpokenButtons] = {
    {L"Menu", L"Opens the menu", L""},
    {L"File", L"Opens the file menu", L""},
    {L"Add", L"Inserts a subtrack at the playing time", L"Ins"},
    {L"Previous", L"Plays the previous subtrack", L"Ctrl+Left"},
    {L"Next", L"Plays the next subtrack", L"Ctrl+Right"},
};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

TrackListView* ListOf(const Plugin& plugin) { return plugin.list(); }

bool RowExists(const Plugin& plugin, int32_t row) {
  const TrackListView* list = ListOf(plugin);
  return list && row >= 0 && row < list->RowCount();
}

// "Name, time" as the row shows it: the time column when it is shown, the playing row's
// progress in place of its time.
std::string RowTitleUtf8(const Plugin& plugin, int32_t row) {
  const TrackListView* list = ListOf(plugin);
  const TextString* text = list->TextAt(row);
  if (!text) return {};
  const std::string_view whole(text->Data(), static_cast<size_t>(text->Length()));
  const size_t tab = whole.find('\t');
  std::string spoken(Trimmed(whole.substr(0, tab)));
  std::string_view time = tab == std::string_view::npos ? std::string_view() : Trimmed(whole.substr(tab + 1));
  if (row == list->CurrentRow() && !list->Progress().IsEmpty()) {
    time = Trimmed(std::string_view(list->Progress().Data(), static_cast<size_t>(list->Progress().Length())));
  }
  if (list->TimeColumnMode() == TrackListView::kTimeColumnShown && !time.empty()) {
    spoken += ", ";
    spoken += time;
  }
  return spoken;
}

// What the row is besides its text, in the order a listener wants to hear it.
std::string RowStatus(const Plugin& plugin, int32_t row) {
  const TrackListView* list = ListOf(plugin);
  const int32_t key = list->KeyAt(row);
  std::string status;
  auto add = [&status](const char* part) {
    status += ", ";
    status += part;
  };
  if (key != kHeaderItem && ItemSubtrack(key) == 0) add("track");
  if (row == list->CurrentRow()) add("playing");
  const uint32_t decoration = ListeningRowDecoration(plugin, key);
  if (decoration & kRowSkipped) add("skipped");
  if (decoration & kRowStopsAfter) add("stops after this subtrack");
  return status;
}

RECT WidgetBox(const Widget* widget) {
  if (!widget || !widget->Visible()) return RECT{};
  return widget->GetRect();
}

bool WindowHasFocus(const Plugin& plugin) { return plugin.window() && GetFocus() == plugin.window(); }

}  // namespace

SkinButton* SpokenButton(const Plugin& plugin, int32_t index) {
  const SkinFrame* frame = plugin.frame();
  if (!frame || index < 0 || index >= kSpokenButtons) return nullptr;
  // The frame keeps the bar buttons first, in the order they sit (skin/window_widgets.h).
  int32_t seen = 0;
  for (const auto& widget : frame->Widgets()) {
    if (widget->Kind() != WidgetKind::Button) continue;
    if (seen++ == index) return static_cast<SkinButton*>(widget.get());
  }
  return nullptr;
}

void PressSpokenButton(Plugin& plugin, int32_t index) {
  SkinButton* button = SpokenButton(plugin, index);
  if (!button || !button->Visible()) return;
  const RECT box = button->GetRect();
  button->OnClick((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

bool NodeExists(const Plugin& plugin, const NodeRef& node) {
  switch (node.kind) {
    case NodeKind::Client:
      return plugin.window() != nullptr;
    case NodeKind::Title:
      return plugin.title() != nullptr;
    case NodeKind::List:
      return ListOf(plugin) != nullptr;
    case NodeKind::Button:
      return SpokenButton(plugin, node.index) != nullptr;
    case NodeKind::ScrollBar:
      return ListOf(plugin) && ListOf(plugin)->ScrollBar() != nullptr;
    case NodeKind::Row:
      return RowExists(plugin, node.index);
  }
  return false;
}

bool ChildOf(const Plugin& plugin, const NodeRef& parent, LONG childId, NodeRef* child) {
  NodeRef found;
  if (parent.kind == NodeKind::Client) {
    if (childId == 1) {
      found = {NodeKind::Title, 0};
    } else if (childId == 2) {
      found = {NodeKind::List, 0};
    } else if (childId >= 3 && childId < 3 + kSpokenButtons) {
      found = {NodeKind::Button, static_cast<int32_t>(childId - 3)};
    } else if (childId == kClientChildren) {
      found = {NodeKind::ScrollBar, 0};
    } else if (childId >= kRowEventIdBase) {
      found = {NodeKind::Row, static_cast<int32_t>(childId - kRowEventIdBase)};
    } else {
      return false;
    }
  } else if (parent.kind == NodeKind::List && childId >= 1) {
    found = {NodeKind::Row, static_cast<int32_t>(childId - 1)};
  } else {
    return false;
  }
  if (!NodeExists(plugin, found)) return false;
  *child = found;
  return true;
}

LONG ChildCount(const Plugin& plugin, const NodeRef& node) {
  if (node.kind == NodeKind::Client) return kClientChildren;
  if (node.kind == NodeKind::List && ListOf(plugin)) return ListOf(plugin)->RowCount();
  return 0;
}

LONG ChildIdOf(const NodeRef& node) {
  switch (node.kind) {
    case NodeKind::Title:
      return 1;
    case NodeKind::List:
      return 2;
    case NodeKind::Button:
      return 3 + node.index;
    case NodeKind::ScrollBar:
      return kClientChildren;
    case NodeKind::Row:
      return node.index + 1;
    case NodeKind::Client:
      break;
  }
  return CHILDID_SELF;
}

NodeRef ParentOf(const NodeRef& node) {
  if (node.kind == NodeKind::Row) return {NodeKind::List, 0};
  return {NodeKind::Client, 0};
}

NodeRef NodeAt(const Plugin& plugin, POINT client) {
  for (int32_t i = 0; i < kSpokenButtons; ++i) {
    const RECT box = NodeBox(plugin, {NodeKind::Button, i});
    if (PtInRect(&box, client)) return {NodeKind::Button, i};
  }
  for (NodeKind kind : {NodeKind::ScrollBar, NodeKind::Title}) {
    const RECT box = NodeBox(plugin, {kind, 0});
    if (PtInRect(&box, client)) return {kind, 0};
  }
  const RECT listBox = NodeBox(plugin, {NodeKind::List, 0});
  if (PtInRect(&listBox, client)) {
    const int32_t row = ListOf(plugin)->RowAt(client.y);
    if (row >= 0) return {NodeKind::Row, row};
    return {NodeKind::List, 0};
  }
  return {NodeKind::Client, 0};
}

std::wstring RowNameOnly(const Plugin& plugin, int32_t row) {
  if (!RowExists(plugin, row)) return {};
  const TextString* text = ListOf(plugin)->TextAt(row);
  if (!text) return {};
  const std::string_view whole(text->Data(), static_cast<size_t>(text->Length()));
  return WideFromUtf8(Trimmed(whole.substr(0, whole.find('\t'))));
}

std::wstring NodeName(const Plugin& plugin, const NodeRef& node) {
  switch (node.kind) {
    case NodeKind::Client:
      return L"Tarnix Plugin";
    case NodeKind::Title: {
      const TextString& text = plugin.title()->Text();
      return WideFromUtf8(Trimmed(std::string_view(text.Data(), static_cast<size_t>(text.Length()))));
    }
    case NodeKind::List:
      return L"Subtracks";
    case NodeKind::Button:
      return kButtonTexts[node.index].name;
    case NodeKind::ScrollBar:
      return L"Vertical";
    case NodeKind::Row:
      return WideFromUtf8(RowTitleUtf8(plugin, node.index) + RowStatus(plugin, node.index));
  }
  return {};
}

std::wstring NodeDescription(const NodeRef& node) {
  if (node.kind == NodeKind::Button) return kButtonTexts[node.index].description;
  return {};
}

std::wstring NodeValue(const Plugin& plugin, const NodeRef& node) {
  if (node.kind != NodeKind::ScrollBar) return {};
  const SkinScrollBar* bar = ListOf(plugin)->ScrollBar();
  const int32_t range = bar->Range();
  return std::to_wstring(range > 0 ? bar->ThumbPos() * 100 / range : 0);
}

std::wstring NodeDefaultAction(const NodeRef& node) {
  if (node.kind == NodeKind::Button) return L"Press";
  if (node.kind == NodeKind::Row) return L"Play";
  return {};
}

std::wstring NodeKeyboardShortcut(const NodeRef& node) {
  if (node.kind == NodeKind::Button) return kButtonTexts[node.index].shortcut;
  return {};
}

LONG NodeRole(const NodeRef& node) {
  switch (node.kind) {
    case NodeKind::Client:
      return ROLE_SYSTEM_CLIENT;
    case NodeKind::Title:
      return ROLE_SYSTEM_STATICTEXT;
    case NodeKind::List:
      return ROLE_SYSTEM_LIST;
    case NodeKind::Button:
      return ROLE_SYSTEM_PUSHBUTTON;
    case NodeKind::ScrollBar:
      return ROLE_SYSTEM_SCROLLBAR;
    case NodeKind::Row:
      return ROLE_SYSTEM_LISTITEM;
  }
  return ROLE_SYSTEM_CLIENT;
}

LONG NodeState(const Plugin& plugin, const NodeRef& node) {
  const bool focused = WindowHasFocus(plugin);
  const TrackListView* list = ListOf(plugin);
  LONG state = 0;
  if (!plugin.window() || !IsWindowVisible(plugin.window())) state |= STATE_SYSTEM_INVISIBLE;
  switch (node.kind) {
    case NodeKind::Client:
      state |= STATE_SYSTEM_FOCUSABLE;
      break;
    case NodeKind::Title:
      state |= STATE_SYSTEM_READONLY;
      if (!plugin.title()->Visible()) state |= STATE_SYSTEM_INVISIBLE;
      break;
    case NodeKind::List:
      state |= STATE_SYSTEM_FOCUSABLE;
      if (focused && list->SelectedRow() < 0) state |= STATE_SYSTEM_FOCUSED;
      break;
    case NodeKind::Button: {
      const SkinButton* button = SpokenButton(plugin, node.index);
      if (button->IsPressed()) state |= STATE_SYSTEM_PRESSED;
      if (!button->Visible()) state |= STATE_SYSTEM_INVISIBLE;
      if (node.index <= 1) state |= STATE_SYSTEM_HASPOPUP;
      break;
    }
    case NodeKind::ScrollBar:
      if (!list->ScrollBar()->Visible()) state |= STATE_SYSTEM_INVISIBLE;
      break;
    case NodeKind::Row:
      state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_READONLY;
      if (node.index == list->SelectedRow()) {
        state |= STATE_SYSTEM_SELECTED;
        if (focused) state |= STATE_SYSTEM_FOCUSED;
      }
      if (node.index < list->TopRow() || node.index >= list->TopRow() + list->PageRowCount())
        state |= STATE_SYSTEM_OFFSCREEN;
      break;
  }
  return state;
}

RECT NodeBox(const Plugin& plugin, const NodeRef& node) {
  const TrackListView* list = ListOf(plugin);
  switch (node.kind) {
    case NodeKind::Client: {
      RECT client{};
      if (plugin.window()) GetClientRect(plugin.window(), &client);
      return client;
    }
    case NodeKind::Title:
      return WidgetBox(plugin.title());
    case NodeKind::List:
      return WidgetBox(list);
    case NodeKind::Button:
      return WidgetBox(SpokenButton(plugin, node.index));
    case NodeKind::ScrollBar:
      return WidgetBox(list ? list->ScrollBar() : nullptr);
    case NodeKind::Row:
      return list ? list->RowBox(node.index) : RECT{};
  }
  return RECT{};
}

}  // namespace tarnix
