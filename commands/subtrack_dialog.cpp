// The modeless "Edit subtrack" dialog: it shows the selected subtrack's name and time as
// minutes, seconds and frames, applies every change at once, follows the list's selection,
// and steps through subtracks and times with its up-down controls.

#include "commands/commands.h"
#include "commands/dialogs.h"
#include "commands/editing.h"

#include <commctrl.h>

#include "commands/dialog_placement.h"
#include "commands/time_fields.h"
#include "commands/window_text.h"
#include "host/playback_state.h"
#include "host/player.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "skin/track_list_view.h"
#include "tracklist/platform.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

// While the program itself writes the fields: their change notifications are not edits.
class FieldUpdate {
 public:
  explicit FieldUpdate(EditingState& editing) : editing_(editing) { ++editing_.fieldUpdates; }
  ~FieldUpdate() { --editing_.fieldUpdates; }
  FieldUpdate(const FieldUpdate&) = delete;
  FieldUpdate& operator=(const FieldUpdate&) = delete;

 private:
  EditingState& editing_;
};

HWND Dialog(Plugin& plugin) { return plugin.subtrackDialog(); }

TextString FieldText(Plugin& plugin, int id) { return DialogItemText(Dialog(plugin), id); }

void SetField(Plugin& plugin, int id, const TextString& text) { SetDialogItemText(Dialog(plugin), id, text); }

Track* TrackOf(Plugin& plugin, ItemId item) {
  TrackList& list = plugin.trackList();
  const int n = ItemTrack(item);
  if (n < 1 || n > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(n) - 1];
}

ItemId Selected(Plugin& plugin) { return plugin.list() ? plugin.list()->SelectedKey() : 0; }

TimeFieldValues ReadFields(Plugin& plugin) {
  return ReadTimeFields(FieldText(plugin, IDC_MINUTES).c_str(), FieldText(plugin, IDC_SECONDS).c_str(),
                        FieldText(plugin, IDC_FRAMES).c_str());
}

void WriteTimeFields(Plugin& plugin, int32_t ms, int excludedField) {
  const TimeFieldTexts texts = TimeFieldTextsFor(ms);
  if (excludedField != IDC_MINUTES) SetField(plugin, IDC_MINUTES, texts.minutes);
  if (excludedField != IDC_SECONDS) SetField(plugin, IDC_SECONDS, texts.seconds);
  if (excludedField != IDC_FRAMES) SetField(plugin, IDC_FRAMES, texts.frames);
}

constexpr int kTimeFieldIds[3] = {IDC_MINUTES, IDC_SECONDS, IDC_FRAMES};

bool TimeFieldsChanged(Plugin& plugin) {
  for (int i = 0; i < 3; ++i) {
    if (!FieldText(plugin, kTimeFieldIds[i]).EqualsIgnoringCase(plugin.editing().appliedTime[i])) return true;
  }
  return false;
}

// The time fields' texts as they stood when the subtrack's time last followed them. A field
// left as typed (frames 75 beside seconds already carried) would otherwise add its carry again
// with every later edit of another field.
void RememberTimeFields(Plugin& plugin) {
  for (int i = 0; i < 3; ++i) plugin.editing().appliedTime[i] = FieldText(plugin, kTimeFieldIds[i]);
}

void SelectAllOfName(Plugin& plugin, bool focus) {
  HWND name = GetDlgItem(Dialog(plugin), IDC_SUBTRACK_NAME);
  PostMessageA(name, EM_SETSEL, 0, -1);
  if (focus) SetFocus(name);
}

}  // namespace

void OnListSelectionChanged(Plugin& plugin) { RefreshSubtrackDialog(plugin, 0); }

void FillSubtrackDialog(Plugin& plugin, ItemId item, int excludedField) {
  TrackListView* const view = plugin.list();
  Track* track = TrackOf(plugin, item);
  const int k = ItemSubtrack(item);
  if (!track || !track->IsValidIndex(k) || !Dialog(plugin)) return;
  if (view && view->SelectedRow() < 0) {
    view->SelectByKey(item);
    if (view->SelectedRow() < 0) return;
  }
  {
    FieldUpdate update(plugin.editing());
    const Subtrack& entry = track->subtracks[static_cast<size_t>(k)];
    if (excludedField != IDC_SUBTRACK_NAME) SetField(plugin, IDC_SUBTRACK_NAME, entry.name);
    WriteTimeFields(plugin, entry.time, excludedField);
    // A track's own entry starts the track: its time stays where it is.
    const BOOL timed = k != 0;
    for (int id : {IDC_DELETE_SUBTRACK, IDC_CURRENT_TIME, IDC_MINUTES, IDC_SECONDS, IDC_FRAMES}) {
      EnableWindow(GetDlgItem(Dialog(plugin), id), timed);
    }
    RememberTimeFields(plugin);
  }
  plugin.editing().item = item;
}

void ApplySubtrackDialog(Plugin& plugin) {
  EditingState& editing = plugin.editing();
  TrackListView* const view = plugin.list();
  if (editing.item == kNoItem || !Dialog(plugin)) return;
  const ItemId item = editing.item;
  Track* track = TrackOf(plugin, item);
  const int n = ItemTrack(item);
  const int k = ItemSubtrack(item);
  if (!track || !track->IsValidIndex(k)) return;

  track->RenameSubtrack(k, FieldText(plugin, IDC_SUBTRACK_NAME));
  int k2 = k;
  // The start entry's time is never edited; a time that cannot be held keeps the old one.
  if (k != 0 && TimeFieldsChanged(plugin)) {
    const std::optional<int32_t> time = TimeOfFields(ReadFields(plugin));
    if (time) k2 = track->SetSubtrackTime(k, *time);
    RememberTimeFields(plugin);
  }

  if (k2 == k) {
    SetRowText(plugin, item, true);
  } else {
    editing.item = kNoItem;
    // Selected by row while the old rows stand: that row holds the moved subtrack afterwards.
    if (view) view->SelectByKey(MakeItemId(n, k2));
    editing.item = MakeItemId(n, k2);
    RebuildRows(plugin);
  }
  if (view) view->Redraw();
}

void RefreshSubtrackDialog(Plugin& plugin, int excludedField) {
  if (plugin.editing().item == kNoItem) return;
  ApplySubtrackDialog(plugin);
  FillSubtrackDialog(plugin, Selected(plugin), excludedField);
}

void OpenSubtrackDialog(Plugin& plugin) {
  EditingState& editing = plugin.editing();
  if (!Dialog(plugin)) return;
  // Opening fills anew and applies nothing: the item shown before may belong to a list that
  // has been replaced since.
  editing.item = kNoItem;
  if (plugin.list()) {
    TrackListView& view = *plugin.list();
    if (view.SelectedRow() < 0) view.Select(0);
    {
      FieldUpdate update(plugin.editing());
      FillSubtrackDialog(plugin, view.SelectedKey(), 0);
      // The header row names no subtrack: show the row after it instead.
      if (editing.item == kNoItem && view.SelectedKey() == kHeaderItem && view.RowCount() > 1) {
        view.Select(view.SelectedRow() + 1);
        FillSubtrackDialog(plugin, view.SelectedKey(), 0);
      }
      SelectAllOfName(plugin, true);
    }
  }
  PlaceDialog(Dialog(plugin), plugin.window());
}

void ReloadSubtrackDialog(Plugin& plugin) {
  EditingState& editing = plugin.editing();
  if (editing.item == kNoItem) return;
  editing.item = kNoItem;
  FillSubtrackDialog(plugin, Selected(plugin), 0);
  if (editing.item == kNoItem) FillSubtrackDialog(plugin, MakeItemId(plugin.trackList().CurrentTrackNumber(), 0), 0);
  if (editing.item == kNoItem && Dialog(plugin)) ShowWindow(Dialog(plugin), SW_HIDE);
}

void CloseSubtrackDialog(Plugin& plugin) {
  ApplySubtrackDialog(plugin);
  if (Dialog(plugin)) ShowWindow(Dialog(plugin), SW_HIDE);
  plugin.editing().item = kNoItem;
}

void SetToCurrentTime(Plugin& plugin) {
  EditingState& editing = plugin.editing();
  TrackListView* const view = plugin.list();
  if (editing.item == kNoItem) return;
  const int32_t now = Player(Shared().playerWindow).OutputTimeMs();
  if (now < 0) return;
  const ItemId selected = Selected(plugin);
  Track* track = TrackOf(plugin, selected);
  const int n = ItemTrack(selected);
  const int k = ItemSubtrack(selected);
  if (!track || k == 0 || !track->IsValidIndex(k)) return;
  const int k2 = track->SetSubtrackTime(k, now);
  if (k2 == k) {
    SetRowText(plugin, selected, true);
  } else {
    RebuildRows(plugin);
    editing.item = kNoItem;
    if (view) {
      view->SelectByKey(MakeItemId(n, k2));
      view->SetCurrentRow(view->SelectedRow());
    }
    editing.item = MakeItemId(n, k2);
  }
  FillSubtrackDialog(plugin, Selected(plugin), 0);
  if (view) view->Redraw();
}

INT_PTR HandleSubtrackUpDown(Plugin& plugin, const NMHDR* header) {
  TrackListView* const view = plugin.list();
  if (!header || header->code != static_cast<UINT>(UDN_DELTAPOS)) return 0;
  const int delta = reinterpret_cast<const NMUPDOWN*>(header)->iDelta;
  switch (header->idFrom) {
    case IDC_SUBTRACK_SPIN: {
      const ItemId selected = Selected(plugin);
      Track* track = TrackOf(plugin, selected);
      if (!track) return 1;
      const int64_t c = static_cast<int64_t>(ItemSubtrack(selected)) + delta;
      if (c >= 0 && c < track->Count()) {
        if (view) view->SelectByKey(MakeItemId(ItemTrack(selected), static_cast<int>(c)));
        RefreshSubtrackDialog(plugin, 0);
      }
      return 1;
    }
    case IDC_MINUTES_SPIN:
    case IDC_SECONDS_SPIN:
    case IDC_FRAMES_SPIN: {
      const TimeField field = header->idFrom == IDC_MINUTES_SPIN   ? TimeField::kMinutes
                              : header->idFrom == IDC_SECONDS_SPIN ? TimeField::kSeconds
                                                                   : TimeField::kFrames;
      const std::optional<int32_t> time = SteppedTime(ReadFields(plugin), field, delta);
      if (time) {
        FieldUpdate update(plugin.editing());
        WriteTimeFields(plugin, *time, 0);
        RefreshSubtrackDialog(plugin, 0);
      }
      return 1;
    }
    default:
      return 0;
  }
}

void HandleSubtrackCommand(Plugin& plugin, WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == EN_CHANGE) {
    if (plugin.editing().fieldUpdates == 0 &&
        (id == IDC_SUBTRACK_NAME || id == IDC_MINUTES || id == IDC_SECONDS || id == IDC_FRAMES)) {
      RefreshSubtrackDialog(plugin, id);
    }
    return;
  }
  if (code != 0) return;
  switch (id) {
    case IDOK:
      PlayItem(plugin, Selected(plugin));
      break;
    case IDCANCEL:
      CloseSubtrackDialog(plugin);
      break;
    case IDC_ADD_SUBTRACK:
      ApplySubtrackDialog(plugin);
      InsertSubtrack(plugin, kNoItem);
      break;
    case IDC_DELETE_SUBTRACK:
      DeleteSubtrack(plugin);
      break;
    case IDC_CURRENT_TIME:
      SetToCurrentTime(plugin);
      break;
    default:
      break;
  }
}

const DialogHandlers kSubtrackDialogHandlers = {nullptr, CloseSubtrackDialog, HandleSubtrackCommand,
                                                HandleSubtrackUpDown};

}  // namespace tarnix
