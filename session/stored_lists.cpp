// The track list and its .trk files in the bookmark directory: the save question before the
// list is replaced, the name an unsaved list is saved under, the search for the stored list of
// a newly played file or CD, and the check that the bookmark directory exists.

#include "session/stored_lists.h"

#include <windows.h>

#include "host/playback_state.h"
#include "host/plugin.h"
#include "host/settings.h"
#include "host/user_messages.h"
#include "session/file_names.h"
#include "session/unsaved_edits.h"
#include "tracklist/dir_index.h"
#include "tracklist/platform.h"
#include "tracklist/track_list.h"
#include "tracklist/unsaved_lists.h"

namespace tarnix {

namespace {

// The bookmark directory's index is kept between song changes and across runs in its own file
// beside plugin.ini.
TextString BookmarkIndexPath() { return StoreDirectory() + "\\gen_tarnix.idx"; }

TextString InBookmarks(const TextString& fileName) { return ThePlugin().settings.bookmarkPath + "\\" + fileName; }

bool LoadCandidate(const TextString& path, const TextString& title) {
  return LoadListOrKeptEdit(ThePlugin().trackList, path, title, 0, 0, false);
}

// The index reads lists from disk: one found whose edit is kept and not yet written is shown as
// edited (a kept edit always reads as a list: adopted ones are checked).
bool ShowKeptEdit(bool found, const TextString& title, int32_t cdKey, uint32_t cddbId) {
  TrackList& list = ThePlugin().trackList;
  const UnsavedLists& unsaved = ThePlugin().unsavedEdits;
  if (found && unsaved.Holds(list.path)) unsaved.LoadKept(list, list.path, title, cdKey, cddbId, true);
  return found;
}

}  // namespace

TextString DefaultFileName() { return DefaultListFileName(ThePlugin().trackList, ThePlugin().playback.currentTitle); }

TextString SavePath() {
  const TrackList& list = ThePlugin().trackList;
  if (!list.path.IsEmpty()) return list.path;
  return InBookmarks(DefaultFileName());
}

void SaveIfModified() {
  TrackList& list = ThePlugin().trackList;
  if (!list.modified) return;
  const TextString path = SavePath();
  int answer = IDYES;
  if (!ThePlugin().settings.autoSave) {
    answer = TellUser("Save changes to " + path.FileNamePart() + "?", MB_YESNO | MB_ICONQUESTION);
  }
  // A failed save keeps the changes aside, and so does quit, at which nobody is asked; declined,
  // they are given up. Either way they are not offered again.
  if (answer == IDYES) SaveListOrKeep(list, path);
  if (answer == kNoAnswerAtQuit) KeepEditForNextStart(list, path);
  list.modified = false;
}

bool SaveAndLoadStoredList(const TextString& title, const TextString& fileName) {
  SaveIfModified();
  if (!fileName.IsEmpty()) {
    const TextString byFile = InBookmarks(fileName.WithoutExtension() + ".trk");
    if (LoadCandidate(byFile, title)) return true;
    const TextString byName = InBookmarks(fileName.FileNamePart().WithoutExtension() + ".trk");
    if (!byName.EqualsIgnoringCase(byFile) && LoadCandidate(byName, title)) return true;
  }
  if (LoadCandidate(TitleCandidate(ThePlugin().settings.bookmarkPath, title), title)) return true;
  return ShowKeptEdit(ThePlugin().bookmarkIndex.Search(ThePlugin().trackList, InBookmarks("*.trk"), title, 0, 0), title,
                      0, 0);
}

bool SaveAndLoadStoredCdList(int32_t cdKey, uint32_t cddbId) {
  SaveIfModified();
  const bool found =
      ThePlugin().bookmarkIndex.Search(ThePlugin().trackList, InBookmarks("*.trk"), TextString(), cdKey, cddbId);
  return ShowKeptEdit(found, TextString(), cdKey, cddbId);
}

void LoadBookmarkIndex() { ThePlugin().bookmarkIndex.LoadFrom(BookmarkIndexPath(), InBookmarks("*.trk")); }

void SaveBookmarkIndex() {
  DirectoryIndex& index = ThePlugin().bookmarkIndex;
  if (index.Modified()) index.SaveTo(BookmarkIndexPath());
}

void StartBookmarkIndex() { ThePlugin().bookmarkIndex.Clear(); }

bool EnsureBookmarkDirectory(bool warnIfNot) {
  const TextString& directory = ThePlugin().settings.bookmarkPath;
  // Any existing file system object will do, a plain file too.
  if (platform::PathExists(directory)) return true;
  // These boxes give up when the player unloads the plug-in: nothing is lost by not answering,
  // and the player's thread waits in quit until this thread ends.
  const int answer =
      TellUser("The bookmark directory does not exist. Do you want to create it?", MB_YESNO | MB_ICONQUESTION);
  if (answer == IDYES) {
    if (platform::CreateFolder(directory)) return true;
    TellUser("Couldn't create " + directory + "!", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (warnIfNot) {
    TellUser("You'd better go to the options dialog and set the bookmark directory...", MB_OK | MB_ICONINFORMATION);
  }
  return false;
}

}  // namespace tarnix
