// "Paste tracklist", "Export cue sheet..." and "Export chapters...": subtracks brought in from a
// tracklist copied as text (a web page, a video description), and the playing track written out
// beside the played file as a cue sheet for other players or as a chapter file for audiobook and
// podcast tools.

#include "commands/commands.h"

#include <windows.h>

#include <string>

#include "commands/editing.h"
#include "commands/file_dialog.h"
#include "host/playback_state.h"
#include "host/plugin.h"
#include "host/user_messages.h"
#include "import/chapter_writer.h"
#include "import/cue_writer.h"
#include "import/imported_list.h"
#include "import/pasted_tracklist.h"
#include "session/unsaved_edits.h"
#include "skin/track_list_view.h"
#include "tracklist/atomic_write.h"
#include "tracklist/platform.h"
#include "tracklist/replacing_write.h"
#include "tracklist/track_list.h"
#include "win32/handles.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

constexpr wchar_t kCueFilter[] = L"Cue sheets (*.cue)\0*.cue\0All Files (*.*)\0*.*\0";
constexpr wchar_t kChapterFilter[] = L"Chapter files (*.chapters.txt)\0*.chapters.txt\0All Files (*.*)\0*.*\0";

// The clipboard's text as UTF-8; the wide form when there is one, so no character is lost to
// the code page on the way. Only the first kMaxPastedTextBytes matter; the block's own size
// bounds the read, terminated or not.
bool ReadClipboardText(std::string* out) {
  ClipboardLock clipboard(ThePlugin().window.Get());
  if (!clipboard.IsOpen()) return false;
  if (IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    GlobalLockView view(GetClipboardData(CF_UNICODETEXT));
    if (!view.Data()) return false;
    const auto* text = static_cast<const wchar_t*>(view.Data());
    size_t length = 0;
    const size_t limit = view.Size() / sizeof(wchar_t);
    while (length < limit && length < kMaxPastedTextBytes && text[length]) ++length;
    *out = Utf8FromWide(std::wstring_view(text, length));
    return true;
  }
  if (IsClipboardFormatAvailable(CF_TEXT)) {
    GlobalLockView view(GetClipboardData(CF_TEXT));
    if (!view.Data()) return false;
    const auto* text = static_cast<const char*>(view.Data());
    size_t length = 0;
    while (length < view.Size() && length < kMaxPastedTextBytes && text[length]) ++length;
    *out = platform::Utf8FromAnsi(std::string_view(text, length));
    return true;
  }
  out->clear();
  return true;
}

void ShowChangedList() {
  TrackListView* const view = ThePlugin().list;
  RebuildRows();
  if (view) view->Redraw();
  ReloadSubtrackDialog();
}

}  // namespace

void CmdPasteTracklist() {
  TrackList& list = ThePlugin().trackList;
  Track* track = list.CurrentTrack();
  if (!track || track->Count() == 0) {
    ReportFailure("There is no playing track to paste a tracklist into.");
    return;
  }
  std::string text;
  if (!ReadClipboardText(&text)) {
    ReportFailure("Couldn't read the clipboard.");
    return;
  }
  ChapterSet pasted;
  std::string reason;
  if (!ParsePastedTracklist(text, &pasted, &reason)) {
    ReportFailure(reason.c_str());
    return;
  }
  if (track->Count() > 1) {
    const int answer = TellUser("Replace the subtracks of " + track->Name() + " with the pasted tracklist?",
                                MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    // The box ran a loop of its own: take the track again.
    track = list.CurrentTrack();
    if (!track || track->Count() == 0) return;
  }
  SetTrackChapters(pasted, track);
  ShowChangedList();
}

void CmdExportCueSheet() {
  const TextString played = ThePlugin().playback.currentPath;
  if (played.IsEmpty()) {
    ReportFailure("Nothing is playing: there is no file to write a cue sheet for.");
    return;
  }
  const TrackList& list = ThePlugin().trackList;
  std::string bytes;
  std::string reason;
  if (!MakeCueSheet(list, list.currentTrack, played, &bytes, &reason)) {
    ReportFailure(reason.c_str());
    return;
  }
  const TextString proposed = played.FileNamePart().WithoutExtension() + ".cue";
  const TextString chosen = AskForFile({FileDialog::kSave, kCueFilter, L"cue", played.DirectoryPart()}, proposed);
  if (chosen.IsEmpty()) return;
  if (!WriteFileReplacing(chosen, bytes)) ReportFailure(SaveFailureText(chosen, LastWriteResult()));
}

void CmdExportChapters() {
  const TextString played = ThePlugin().playback.currentPath;
  if (played.IsEmpty()) {
    ReportFailure("Nothing is playing: there is no file to write chapters for.");
    return;
  }
  const TrackList& list = ThePlugin().trackList;
  std::string bytes;
  std::string reason;
  if (!MakeChapterText(list, list.currentTrack, &bytes, &reason)) {
    ReportFailure(reason.c_str());
    return;
  }
  const TextString name = played.FileNamePart();
  const TextString stem = name.WithoutExtension().IsEmpty() ? name : name.WithoutExtension();
  const TextString chosen =
      AskForFile({FileDialog::kSave, kChapterFilter, L"txt", played.DirectoryPart()}, stem + ".chapters.txt");
  if (chosen.IsEmpty()) return;
  if (!WriteFileReplacing(chosen, bytes)) ReportFailure(SaveFailureText(chosen, LastWriteResult()));
}

}  // namespace tarnix
