#include "accessibility/window_accessibility.h"

#include <oleacc.h>

#include <string>
#include <utility>

#include "accessibility/accessible_element.h"
#include "accessibility/accessible_tree.h"
#include "host/plugin.h"
#include "skin/track_list_view.h"

namespace tarnix {

WindowAccessibility::WindowAccessibility(Plugin& plugin) : context_(std::make_shared<AccessibleContext>()) {
  context_->plugin = &plugin;
  context_->window = plugin.window();
  seen_ = Look();
}

WindowAccessibility::~WindowAccessibility() { Disconnect(); }

void WindowAccessibility::Disconnect() { context_->plugin = nullptr; }

bool WindowAccessibility::AnswerGetObject(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  // The object id is a 32-bit value, whatever the width of lParam.
  if (static_cast<LONG>(static_cast<DWORD>(lParam)) != OBJID_CLIENT || !context_->plugin) return false;
  IAccessible* client = NewAccessibleElement(context_, {NodeKind::Client, 0});
  const LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, client);
  client->Release();
  if (answer < 0) return false;
  *result = answer;
  return true;
}

WindowAccessibility::Seen WindowAccessibility::Look() const {
  Seen now;
  const Plugin* plugin = context_->plugin;
  if (!plugin || !plugin->window()) return now;
  now.shown = IsWindowVisible(plugin->window()) != FALSE;
  now.focused = GetFocus() == plugin->window();
  if (const TrackListView* list = plugin->list()) {
    now.selected = list->SelectedRow();
    now.playing = list->CurrentRow();
    now.playingKey = list->CurrentKey();
    now.rows = list->RowCount();
  }
  return now;
}

void WindowAccessibility::Raise(DWORD event, int32_t row) const {
  NotifyWinEvent(event, context_->window, OBJID_CLIENT, kRowEventIdBase + row);
}

void WindowAccessibility::NoteChanges() {
  // A client hooked in this process may ask for the object inside NotifyWinEvent: that message
  // comes back here and must not raise the same events again.
  if (noting_ || !context_->plugin) return;
  noting_ = true;
  const Seen now = Look();
  const Seen before = std::exchange(seen_, now);
  // Hidden, or only just shown (the system tells of the window itself): nothing moved under the
  // listener's attention.
  if (!now.shown || !before.shown) {
    noting_ = false;
    return;
  }
  const Plugin& plugin = *context_->plugin;
  // Rows came or went: a screen reader reads the list's children again.
  if (now.rows != before.rows) {
    NotifyWinEvent(EVENT_OBJECT_REORDER, context_->window, OBJID_CLIENT, ChildIdOf({NodeKind::List, 0}));
  }
  if (now.selected >= 0 && now.selected != before.selected) {
    Raise(EVENT_OBJECT_SELECTION, now.selected);
    if (now.focused) Raise(EVENT_OBJECT_FOCUS, now.selected);
  } else if (now.focused && !before.focused && now.selected >= 0) {
    Raise(EVENT_OBJECT_FOCUS, now.selected);
  }
  if (now.playing != before.playing || now.playingKey != before.playingKey) {
    // The row that stopped playing no longer says so.
    if (before.playing >= 0 && before.playing != now.playing && NodeExists(plugin, {NodeKind::Row, before.playing}))
      Raise(EVENT_OBJECT_NAMECHANGE, before.playing);
    if (now.playing >= 0) {
      Raise(EVENT_OBJECT_NAMECHANGE, now.playing);
      notice_.Announce(context_->window, L"Now playing: " + RowNameOnly(plugin, now.playing));
    }
  }
  noting_ = false;
}

}  // namespace tarnix
