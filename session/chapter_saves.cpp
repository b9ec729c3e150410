#include "session/chapter_saves.h"

#include <string>
#include <utility>

#include "host/settings.h"
#include "host/user_messages.h"
#include "session/rows.h"
#include "session/stored_lists.h"
#include "skin/title_display.h"

namespace tarnix {

namespace {

TextString FileNameOf(const ChapterSave& save) { return TextString(save.path.c_str()).FileNamePart(); }

// A waiting save of the same file is replaced by the newer one.
void KeepWaiting(Plugin& plugin, ChapterSave save) {
  std::vector<ChapterSave>& pending = plugin.recordingSave().pending();
  const TextString path(save.path.c_str());
  for (ChapterSave& waiting : pending) {
    if (TextString(waiting.path.c_str()).EqualsIgnoringCase(path)) {
      waiting = std::move(save);
      return;
    }
  }
  pending.push_back(std::move(save));
}

}  // namespace

void StartChapterSave(Plugin& plugin, ChapterSave save) {
  RecordingSave& job = plugin.recordingSave();
  if (job.Running()) {
    ReportFailure(plugin.window(), "Chapters are being saved into a file already: try again when that is done.");
    return;
  }
  const TextString name = FileNameOf(save);
  if (!job.Start(plugin.window(), std::move(save)))
    ReportFailure(plugin.window(), "Chapters could not be saved into " + name + ": the save could not start.");
}

void OnChapterSaveProgress(Plugin& plugin, WPARAM percent) {
  if (!plugin.recordingSave().Running() || !plugin.title()) return;
  plugin.title()->SetText(TextString(("Saving chapters " + std::to_string(percent) + "%").c_str()));
}

void OnChapterSaveEnded(Plugin& plugin) {
  RecordingSave& job = plugin.recordingSave();
  if (!job.Running()) return;
  ChapterSave save;
  RewriteResult result;
  job.Finish(&save, &result);
  const TextString name = FileNameOf(save);
  switch (result.outcome) {
    case RewriteOutcome::kReplaced:
      // The file's bytes changed: its list learns what identifies it now, or a move would lose it.
      RecordingRewritten(plugin, TextString(save.path.c_str()));
      if (!result.note.empty())
        TellUser(plugin.window(), "Chapters saved into " + name + ": " + TextString(result.note.c_str()) + ".",
                 MB_ICONINFORMATION);
      break;
    case RewriteOutcome::kHeld:
    case RewriteOutcome::kCancelled:
      // The player holds the file (or the save was stopped): done when it lets go.
      KeepWaiting(plugin, std::move(save));
      break;
    default:
      ReportFailure(plugin.window(),
                    "Chapters could not be saved into " + name + ": " + TextString(result.reason.c_str()) + ".");
      break;
  }
  RebuildRows(plugin);  // the title shows the list again, marked while a save waits
}

void RetryWaitingChapterSaves(Plugin& plugin) {
  RecordingSave& job = plugin.recordingSave();
  if (job.Running() || job.pending().empty() || !plugin.window()) return;
  ChapterSave save = std::move(job.pending().front());
  job.pending().erase(job.pending().begin());
  job.Start(plugin.window(), std::move(save));
}

void RetryWaitingChapterSavesWhenStopped(Plugin& plugin, bool playing) {
  RecordingSave& job = plugin.recordingSave();
  const bool stoppedNow = !playing && job.wasPlaying;
  job.wasPlaying = playing;
  if (stoppedNow) RetryWaitingChapterSaves(plugin);
}

TextString WaitingChapterSaveMark(const Plugin& plugin) {
  const TextString& path = plugin.playback().currentPath;
  if (path.IsEmpty()) return TextString();
  const std::vector<ChapterSave>& pending = plugin.recordingSave().pending();
  for (const ChapterSave& save : pending) {
    if (TextString(save.path.c_str()).EqualsIgnoringCase(path)) return " (chapters waiting to be saved)";
  }
  return TextString();
}

void AdoptKeptChapterSaves(Plugin& plugin) {
  for (ChapterSave& save : TakePendingChapterSaves(StoreDirectory(plugin.settings())))
    KeepWaiting(plugin, std::move(save));
  RetryWaitingChapterSaves(plugin);
}

void KeepChapterSavesAtQuit(Plugin& plugin) {
  RecordingSave& job = plugin.recordingSave();
  if (job.Running()) {
    job.CancelAndJoin();
    ChapterSave save;
    RewriteResult result;
    job.Finish(&save, &result);
    if (result.outcome == RewriteOutcome::kHeld || result.outcome == RewriteOutcome::kCancelled)
      KeepWaiting(plugin, std::move(save));
  }
  KeepPendingChapterSaves(StoreDirectory(plugin.settings()), job.pending());
}

}  // namespace tarnix
