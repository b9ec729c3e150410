// The four commands of the "&File" menu: New, Open, Save and Save As, with the system's open
// and save dialogs starting in the bookmark directory.

#include "commands/commands.h"

#include <windows.h>
#include <commdlg.h>
#include <cderr.h>

#include <cstring>

#include "commands/editing.h"
#include "commands/file_commands.h"
#include "commands/user_messages.h"
#include "host/playback_state.h"
#include "host/plugin_globals.h"
#include "host/settings.h"
#include "skin/track_list_view.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

constexpr int kFileBufferSize = 512;
constexpr char kFilter[] = "Track list files (*.trk)\0*.trk\0All Files (*.*)\0*.*\0";

enum class FileDialog { kOpen, kSave };

// Runs one file dialog with `initial` in its buffer; a text that does not fit leaves the buffer
// empty rather than offering a cut path. Returns the chosen path, or empty when cancelled; a
// chosen path that does not fit the buffer is refused with a message.
TextString AskForFile(FileDialog kind, const TextString& initial) {
  char buffer[kFileBufferSize] = {};
  if (initial.Length() < kFileBufferSize) std::memcpy(buffer, initial.c_str(), static_cast<size_t>(initial.Length()));

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = g_plugin.pluginWindow;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = kFileBufferSize;
  dialog.lpstrInitialDir = g_settings.bookmarkPath.c_str();
  dialog.lpstrDefExt = "trk";
  dialog.Flags = OFN_HIDEREADONLY | (kind == FileDialog::kSave ? OFN_OVERWRITEPROMPT : 0);

  const BOOL chosen = kind == FileDialog::kOpen ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
  if (!chosen) {
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
      ReportFailure(kind == FileDialog::kOpen ? "Couldn't open: the path is longer than 511 characters"
                                              : "Couldn't save: the path is longer than 511 characters");
    }
    return TextString();
  }
  buffer[kFileBufferSize - 1] = '\0';
  return TextString(buffer);
}

// The list was replaced: the views show the new one, and the dialogs its data.
void ShowReplacedList() {
  RebuildRows();
  if (g_plugin.list) g_plugin.list->Redraw();
  ReloadSubtrackDialog();
  if (g_editedTrack != -1) OpenTrackDialog();
}

}  // namespace

void CmdNew(int, int) {
  SaveIfModified();
  TrackList& list = CurrentList();
  list.Reset(g_state.currentTitle, 1, list.cddbId);
  ShowReplacedList();
}

void CmdOpen(int, int) {
  const TextString initial = CurrentList().path;
  SaveIfModified();
  const TextString chosen = AskForFile(FileDialog::kOpen, initial);
  if (chosen.IsEmpty()) return;

  TrackList loaded;
  if (!loaded.Load(chosen, TextString(), 0, 0, true)) {
    ReportFailure("Couldn't open " + chosen);
    return;
  }
  if (loaded.TrackCount() < g_state.currentTrack) {
    ReportFailure("No matching track info found in " + chosen);
    return;
  }
  loaded.SetCurrentTrack(g_state.currentTrack);
  CurrentList().Assign(loaded);
  ShowReplacedList();
}

void CmdSave(int, int) {
  if (g_state.currentTitle.IsEmpty()) return;
  TrackList& list = CurrentList();
  if (list.path.IsEmpty()) {
    CmdSaveAs(-1, -1);
    return;
  }
  const TextString path = list.path;
  if (!list.Save(path)) ReportFailure("Couldn't save " + path);
}

void CmdSaveAs(int, int) {
  const TextString chosen = AskForFile(FileDialog::kSave, SavePath().FileNamePart());
  if (chosen.IsEmpty()) return;
  if (!CurrentList().Save(chosen)) ReportFailure("Couldn't save " + chosen);
}

}  // namespace tarnix
