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
  FieldUpdate() { ++ThePlugin().editing.fieldUpdates; }
  ~FieldUpdate() { --ThePlugin().editing.fieldUpdates; }
  FieldUpdate(const FieldUpdate&) = delete;
  FieldUpdate& operator=(const FieldUpdate&) = delete;
};

HWND Dialog() { return ThePlugin().subtrackDialog.Get(); }

TextString FieldText(int id) { return DialogItemText(Dialog(), id); }

void SetField(int id, const TextString& text) { SetDialogItemText(Dialog(), id, text); }

Track* TrackOf(ItemId item) {
  TrackList& list = ThePlugin().trackList;
  const int n = ItemTrack(item);
  if (n < 1 || n > list.TrackCount()) return nullptr;
  return &list.tracks[static_cast<size_t>(n) - 1];
}

ItemId Selected() { return ThePlugin().list ? ThePlugin().list->SelectedKey() : 0; }

TimeFieldValues ReadFields() {
  return ReadTimeFields(FieldText(IDC_MINUTES).c_str(), FieldText(IDC_SECONDS).c_str(), FieldText(IDC_FRAMES).c_str());
}

void WriteTimeFields(int32_t ms, int excludedField) {
  const TimeFieldTexts texts = TimeFieldTextsFor(ms);
  if (excludedField != IDC_MINUTES) SetField(IDC_MINUTES, texts.minutes);
  if (excludedField != IDC_SECONDS) SetField(IDC_SECONDS, texts.seconds);
  if (excludedField != IDC_FRAMES) SetField(IDC_FRAMES, texts.frames);
}

constexpr int kTimeFieldIds[3] = {IDC_MINUTES, IDC_SECONDS, IDC_FRAMES};

bool TimeFieldsChanged() {
  for (int i = 0; i < 3; ++i) {
    if (!FieldText(kTimeFieldIds[i]).EqualsIgnoringCase(ThePlugin().editing.appliedTime[i])) return true;
  }
  return false;
}

// The time fields' texts as they stood when the subtrack's time last followed them. A field
// left as typed (frames 75 beside seconds already carried) would otherwise add its carry again
// with every later edit of another field.
void RememberTimeFields() {
  for (int i = 0; i < 3; ++i) ThePlugin().editing.appliedTime[i] = FieldText(kTimeFieldIds[i]);
}

void SelectAllOfName(bool focus) {
  HWND name = GetDlgItem(Dialog(), IDC_SUBTRACK_NAME);
  PostMessageA(name, EM_SETSEL, 0, -1);
  if (focus) SetFocus(name);
}

}  // namespace

void OnListSelectionChanged() { RefreshSubtrackDialog(0); }

void FillSubtrackDialog(ItemId item, int excludedField) {
  TrackListView* const view = ThePlugin().list;
  Track* track = TrackOf(item);
  const int k = ItemSubtrack(item);
  if (!track || !track->IsValidIndex(k) || !Dialog()) return;
  if (view && view->SelectedRow() < 0) {
    view->SelectByKey(item);
    if (view->SelectedRow() < 0) return;
  }
  {
    FieldUpdate update;
    const Subtrack& entry = track->subtracks[static_cast<size_t>(k)];
    if (excludedField != IDC_SUBTRACK_NAME) SetField(IDC_SUBTRACK_NAME, entry.name);
    WriteTimeFields(entry.time, excludedField);
    // A track's own entry starts the track: its time stays where it is.
    const BOOL timed = k != 0;
    for (int id : {IDC_DELETE_SUBTRACK, IDC_CURRENT_TIME, IDC_MINUTES, IDC_SECONDS, IDC_FRAMES}) {
      EnableWindow(GetDlgItem(Dialog(), id), timed);
    }
    RememberTimeFields();
  }
  ThePlugin().editing.item = item;
}

void ApplySubtrackDialog() {
  EditingState& editing = ThePlugin().editing;
  TrackListView* const view = ThePlugin().list;
  if (editing.item == kNoItem || !Dialog()) return;
  const ItemId item = editing.item;
  Track* track = TrackOf(item);
  const int n = ItemTrack(item);
  const int k = ItemSubtrack(item);
  if (!track || !track->IsValidIndex(k)) return;

  track->RenameSubtrack(k, FieldText(IDC_SUBTRACK_NAME));
  int k2 = k;
  // The start entry's time is never edited; a time that cannot be held keeps the old one.
  if (k != 0 && TimeFieldsChanged()) {
    const std::optional<int32_t> time = TimeOfFields(ReadFields());
    if (time) k2 = track->SetSubtrackTime(k, *time);
    RememberTimeFields();
  }

  if (k2 == k) {
    SetRowText(item, true);
  } else {
    editing.item = kNoItem;
    // Selected by row while the old rows stand: that row holds the moved subtrack afterwards.
    if (view) view->SelectByKey(MakeItemId(n, k2));
    editing.item = MakeItemId(n, k2);
    RebuildRows();
  }
  if (view) view->Redraw();
}

void RefreshSubtrackDialog(int excludedField) {
  if (ThePlugin().editing.item == kNoItem) return;
  ApplySubtrackDialog();
  FillSubtrackDialog(Selected(), excludedField);
}

void OpenSubtrackDialog() {
  EditingState& editing = ThePlugin().editing;
  if (!Dialog()) return;
  // Opening fills anew and applies nothing: the item shown before may belong to a list that
  // has been replaced since.
  editing.item = kNoItem;
  if (ThePlugin().list) {
    TrackListView& view = *ThePlugin().list;
    if (view.SelectedRow() < 0) view.Select(0);
    {
      FieldUpdate update;
      FillSubtrackDialog(view.SelectedKey(), 0);
      // The header row names no subtrack: show the row after it instead.
      if (editing.item == kNoItem && view.SelectedKey() == kHeaderItem && view.RowCount() > 1) {
        view.Select(view.SelectedRow() + 1);
        FillSubtrackDialog(view.SelectedKey(), 0);
      }
      SelectAllOfName(true);
    }
  }
  PlaceDialog(Dialog());
}

void ReloadSubtrackDialog() {
  EditingState& editing = ThePlugin().editing;
  if (editing.item == kNoItem) return;
  editing.item = kNoItem;
  FillSubtrackDialog(Selected(), 0);
  if (editing.item == kNoItem) FillSubtrackDialog(MakeItemId(ThePlugin().trackList.CurrentTrackNumber(), 0), 0);
  if (editing.item == kNoItem && Dialog()) ShowWindow(Dialog(), SW_HIDE);
}

void CloseSubtrackDialog() {
  ApplySubtrackDialog();
  if (Dialog()) ShowWindow(Dialog(), SW_HIDE);
  ThePlugin().editing.item = kNoItem;
}

void SetToCurrentTime() {
  EditingState& editing = ThePlugin().editing;
  TrackListView* const view = ThePlugin().list;
  if (editing.item == kNoItem) return;
  const int32_t now = Player(g_shared.playerWindow).OutputTimeMs();
  if (now < 0) return;
  const ItemId selected = Selected();
  Track* track = TrackOf(selected);
  const int n = ItemTrack(selected);
  const int k = ItemSubtrack(selected);
  if (!track || k == 0 || !track->IsValidIndex(k)) return;
  const int k2 = track->SetSubtrackTime(k, now);
  if (k2 == k) {
    SetRowText(selected, true);
  } else {
    RebuildRows();
    editing.item = kNoItem;
    if (view) {
      view->SelectByKey(MakeItemId(n, k2));
      view->SetCurrentRow(view->SelectedRow());
    }
    editing.item = MakeItemId(n, k2);
  }
  FillSubtrackDialog(Selected(), 0);
  if (view) view->Redraw();
}

INT_PTR HandleSubtrackUpDown(const NMHDR* header) {
  TrackListView* const view = ThePlugin().list;
  if (!header || header->code != static_cast<UINT>(UDN_DELTAPOS)) return 0;
  const int delta = reinterpret_cast<const NMUPDOWN*>(header)->iDelta;
  switch (header->idFrom) {
    case IDC_SUBTRACK_SPIN: {
      const ItemId selected = Selected();
      Track* track = TrackOf(selected);
      if (!track) return 1;
      const int64_t c = static_cast<int64_t>(ItemSubtrack(selected)) + delta;
      if (c >= 0 && c < track->Count()) {
        if (view) view->SelectByKey(MakeItemId(ItemTrack(selected), static_cast<int>(c)));
        RefreshSubtrackDialog(0);
      }
      return 1;
    }
    case IDC_MINUTES_SPIN:
    case IDC_SECONDS_SPIN:
    case IDC_FRAMES_SPIN: {
      const TimeField field = header->idFrom == IDC_MINUTES_SPIN   ? TimeField::kMinutes
                              : header->idFrom == IDC_SECONDS_SPIN ? TimeField::kSeconds
                                                                   : TimeField::kFrames;
      const std::optional<int32_t> time = SteppedTime(ReadFields(), field, delta);
      if (time) {
        FieldUpdate update;
        WriteTimeFields(*time, 0);
        RefreshSubtrackDialog(0);
      }
      return 1;
    }
    default:
      return 0;
  }
}

void HandleSubtrackCommand(WPARAM wParam, LPARAM) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == EN_CHANGE) {
    if (ThePlugin().editing.fieldUpdates == 0 &&
        (id == IDC_SUBTRACK_NAME || id == IDC_MINUTES || id == IDC_SECONDS || id == IDC_FRAMES)) {
      RefreshSubtrackDialog(id);
    }
    return;
  }
  if (code != 0) return;
  switch (id) {
    case IDOK:
      PlayItem(Selected());
      break;
    case IDCANCEL:
      CloseSubtrackDialog();
      break;
    case IDC_ADD_SUBTRACK:
      ApplySubtrackDialog();
      InsertSubtrack(kNoItem);
      break;
    case IDC_DELETE_SUBTRACK:
      DeleteSubtrack();
      break;
    case IDC_CURRENT_TIME:
      SetToCurrentTime();
      break;
    default:
      break;
  }
}

const DialogHandlers kSubtrackDialogHandlers = {nullptr, CloseSubtrackDialog, HandleSubtrackCommand,
                                                HandleSubtrackUpDown};

}  // namespace tarnix
