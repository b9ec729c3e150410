#include "session/unsaved_edits.h"

#include <string>

#include "host/plugin.h"
#include "host/settings.h"
#include "host/user_messages.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"

namespace tarnix {

namespace {

// Where a recovery file goes when its list's directory is gone, and where the next start looks
// for it besides the bookmark directory.
TextString FallbackDirectory() { return StoreDirectory(); }

}  // namespace

TextString SaveFailureText(const TextString& path, const WriteResult& result) {
  TextString text = "Couldn't save " + path;
  const TextString reason = result.Reason();
  if (!reason.IsEmpty()) text += "\n" + reason;
  return text;
}

bool SaveListOrReport(TrackList& list, const TextString& path) {
  ClearLastWriteResult();
  if (list.Save(path)) {
    ThePlugin().unsavedEdits.Forget(path);
    return true;
  }
  ReportFailure(SaveFailureText(path, LastWriteResult()));
  return false;
}

bool SaveListOrKeep(TrackList& list, const TextString& path) {
  ClearLastWriteResult();
  if (list.Save(path)) {
    ThePlugin().unsavedEdits.Forget(path);
    return true;
  }
  const WriteResult failure = LastWriteResult();
  std::string bytes;
  TextString text = SaveFailureText(path, failure);
  if (!path.IsEmpty() && trackfile::FormatFile(list, &bytes)) {
    UnsavedLists& unsaved = ThePlugin().unsavedEdits;
    unsaved.SetFallbackDirectory(FallbackDirectory());
    const TextString recovery = unsaved.Keep(path, std::move(bytes));
    if (!recovery.IsEmpty())
      text += "\n\nThe changes are kept in " + recovery + " and are saved to the list once it can be written.";
    else
      text += "\n\nThe changes are kept until the list can be written, as long as the player runs.";
  }
  ReportFailure(text);
  return false;
}

void KeepEditForNextStart(const TrackList& list, const TextString& path) {
  std::string bytes;
  if (path.IsEmpty() || !trackfile::FormatFile(list, &bytes)) return;
  UnsavedLists& unsaved = ThePlugin().unsavedEdits;
  unsaved.SetFallbackDirectory(FallbackDirectory());
  unsaved.Keep(path, std::move(bytes));
}

void SaveWaitingEdits() {
  UnsavedLists& unsaved = ThePlugin().unsavedEdits;
  if (unsaved.Count() > 0) unsaved.SaveWaiting();
}

void AdoptRecoveredEdits() {
  UnsavedLists& unsaved = ThePlugin().unsavedEdits;
  unsaved.SetFallbackDirectory(FallbackDirectory());
  unsaved.AdoptRecoveryFiles(ThePlugin().settings.bookmarkPath);
}

bool LoadListOrKeptEdit(TrackList& list, const TextString& path, const TextString& title, int32_t cdKey,
                        uint32_t cddbId, bool alreadyMatched) {
  const UnsavedLists& unsaved = ThePlugin().unsavedEdits;
  if (unsaved.Holds(path)) return unsaved.LoadKept(list, path, title, cdKey, cddbId, alreadyMatched);
  return list.Load(path, title, cdKey, cddbId, alreadyMatched);
}

}  // namespace tarnix
