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
#include "tracklist/content_identity.h"
#include "tracklist/dir_index.h"
#include "tracklist/platform.h"
#include "tracklist/track_list.h"
#include "tracklist/unsaved_lists.h"

namespace tarnix {

namespace {

// The bookmark directory's index is kept between song changes and across runs in its own file
// beside plugin.ini.
TextString BookmarkIndexPath(Plugin& plugin) { return StoreDirectory(plugin.settings()) + "\\gen_tarnix.idx"; }

TextString InBookmarks(const Plugin& plugin, const TextString& fileName) {
  return plugin.settings().bookmarkPath + "\\" + fileName;
}

bool LoadCandidate(Plugin& plugin, const TextString& path, const TextString& title) {
  return LoadListOrKeptEdit(plugin, plugin.trackList(), path, title, 0, 0, false);
}

// The index reads lists from disk: one found whose edit is kept and not yet written is shown as
// edited (a kept edit always reads as a list: adopted ones are checked).
bool ShowKeptEdit(Plugin& plugin, bool found, const TextString& title, int32_t cdKey, uint32_t cddbId) {
  TrackList& list = plugin.trackList();
  const UnsavedLists& unsaved = plugin.unsavedEdits();
  if (found && unsaved.Holds(list.path)) unsaved.LoadKept(list, list.path, title, cdKey, cddbId, true);
  return found;
}

// The list file the path step looks for first: named after the media file's name.
TextString ListFileOf(const Plugin& plugin, const TextString& fileName) {
  return InBookmarks(plugin, fileName.WithoutExtension() + ".trk");
}

// A list file named after the file whose title does not match is still the file's own when
// its "[File  ]" line names this very path: a list that followed its file keeps being found by
// the path after the title changed.
bool LoadMadeFor(Plugin& plugin, const TextString& listFile, const TextString& title, const TextString& playedPath) {
  if (LoadCandidate(plugin, listFile, title)) return true;
  const Recording& recording = plugin.trackList().recording;
  if (playedPath.IsEmpty() || recording.identity.IsEmpty() || !recording.path.EqualsIgnoringCase(playedPath))
    return false;
  return LoadListOrKeptEdit(plugin, plugin.trackList(), listFile, title, 0, 0, true);
}

// The path step: the list files named after the played file (`playedPath` empty when only the
// name is known).
bool LoadByFileName(Plugin& plugin, const TextString& fileName, const TextString& title, const TextString& playedPath) {
  if (fileName.IsEmpty()) return false;
  const TextString byFile = ListFileOf(plugin, fileName);
  if (LoadMadeFor(plugin, byFile, title, playedPath)) return true;
  const TextString byName = InBookmarks(plugin, fileName.FileNamePart().WithoutExtension() + ".trk");
  return !byName.EqualsIgnoringCase(byFile) && LoadMadeFor(plugin, byName, title, playedPath);
}

bool LoadByTitle(Plugin& plugin, const TextString& title) {
  if (LoadCandidate(plugin, TitleCandidate(plugin.settings().bookmarkPath, title), title)) return true;
  return ShowKeptEdit(plugin,
                      plugin.bookmarkIndex().Search(plugin.trackList(), InBookmarks(plugin, "*.trk"), title, 0, 0),
                      title, 0, 0);
}

// A list of an earlier version found by its file's path learns the recording: written at once
// when it is as stored; a list shown with a kept edit carries it into its next save, so that the
// kept edit is not overwritten by the stored list.
void LearnRecording(Plugin& plugin, const TextString& playedPath, const ContentIdentity& identity) {
  TrackList& list = plugin.trackList();
  if (identity.IsEmpty() || !list.recording.identity.IsEmpty()) return;
  list.recording = Recording{playedPath, identity};
  if (!list.modified && !plugin.unsavedEdits().Holds(list.path)) SaveListOrKeep(plugin, list, list.path);
}

// The identity step: the list made for this recording before it was moved or renamed. It
// follows the file (written under the file's new list name, naming the new path; the old list
// file goes once the new one is whole) unless the old path still holds the recording: a copy
// is shown the original's list, which stays the original's.
bool FollowRecording(Plugin& plugin, const TextString& playedPath, const ContentIdentity& identity) {
  TrackList& list = plugin.trackList();
  if (identity.IsEmpty() || !plugin.bookmarkIndex().FindByIdentity(list, InBookmarks(plugin, "*.trk"), identity))
    return false;
  const TextString oldFile = list.path;
  UnsavedLists& unsaved = plugin.unsavedEdits();
  // A kept edit not yet written stays where it is kept: the list is shown as edited, not moved.
  if (unsaved.Holds(oldFile)) return ShowKeptEdit(plugin, true, TextString(), 0, 0);
  if (list.recording.path.EqualsIgnoringCase(playedPath) || HoldsRecording(list.recording.path, identity)) return true;
  const TextString newFile = ListFileOf(plugin, playedPath.FileNamePart());
  const bool sameFile = newFile.EqualsIgnoringCase(oldFile);
  // Another list already has the new name (one for another recording): it is not replaced.
  if (!sameFile && platform::PathExists(newFile)) return true;
  list.recording.path = playedPath;
  if (SaveListOrKeep(plugin, list, newFile) && !sameFile) platform::RemoveFile(oldFile);
  return true;
}

}  // namespace

TextString DefaultFileName(const Plugin& plugin) {
  return DefaultListFileName(plugin.trackList(), plugin.playback().currentTitle);
}

TextString SavePath(const Plugin& plugin) {
  const TrackList& list = plugin.trackList();
  if (!list.path.IsEmpty()) return list.path;
  return InBookmarks(plugin, DefaultFileName(plugin));
}

void SaveIfModified(Plugin& plugin) {
  TrackList& list = plugin.trackList();
  if (!list.modified) return;
  const TextString path = SavePath(plugin);
  int answer = IDYES;
  if (!plugin.settings().autoSave) {
    answer = TellUser(plugin.window(), "Save changes to " + path.FileNamePart() + "?", MB_YESNO | MB_ICONQUESTION);
  }
  // A failed save keeps the changes aside, and so does a question nobody answered: quit, at which
  // nobody is asked, Esc or the close box, a box that could not be shown. Only No gives them up.
  // Either way they are not offered again.
  if (answer == IDYES)
    SaveListOrKeep(plugin, list, path);
  else if (answer != IDNO)
    KeepEditForNextStart(plugin, list, path);
  list.modified = false;
}

bool SaveAndLoadStoredList(Plugin& plugin, const TextString& title, const TextString& fileName) {
  SaveIfModified(plugin);
  if (LoadByFileName(plugin, fileName, title, TextString())) return true;
  return LoadByTitle(plugin, title);
}

bool SaveAndLoadStoredFileList(Plugin& plugin, const TextString& title, const TextString& playedPath,
                               const ContentIdentity& identity) {
  SaveIfModified(plugin);
  if (LoadByFileName(plugin, playedPath.FileNamePart(), title, playedPath)) {
    LearnRecording(plugin, playedPath, identity);
    return true;
  }
  if (FollowRecording(plugin, playedPath, identity)) return true;
  return LoadByTitle(plugin, title);
}

void RecordingRewritten(Plugin& plugin, const TextString& path) {
  const ContentIdentity identity = ReadContentIdentity(path);
  if (identity.IsEmpty()) return;
  TrackList& list = plugin.trackList();
  if (path.EqualsIgnoringCase(plugin.playback().currentPath) || path.EqualsIgnoringCase(list.recording.path)) {
    if (list.subsongs || list.cddbId != 0 || identity == list.recording.identity) return;
    list.recording = Recording{path, identity};
    // A stored list as it is on disk is written at once; an edited one carries it into its save.
    if (!list.path.IsEmpty() && !list.modified && !plugin.unsavedEdits().Holds(list.path))
      SaveListOrKeep(plugin, list, list.path);
    return;
  }
  // A save that waited for the player to let go ends after the song changed: the list stored for
  // the file, found by the file's name and naming its path, learns the new identity. A kept edit
  // of it is left alone; it is written whole later and the next play of the file finds it by name.
  const TextString listFile = ListFileOf(plugin, path.FileNamePart());
  if (plugin.unsavedEdits().Holds(listFile) || listFile.EqualsIgnoringCase(list.path)) return;
  TrackList stored;
  if (!stored.Load(listFile, TextString(), 0, 0, true) || !stored.recording.path.EqualsIgnoringCase(path) ||
      stored.recording.identity == identity)
    return;
  stored.recording.identity = identity;
  SaveListOrKeep(plugin, stored, listFile);
}

bool SaveAndLoadStoredCdList(Plugin& plugin, int32_t cdKey, uint32_t cddbId) {
  SaveIfModified(plugin);
  const bool found =
      plugin.bookmarkIndex().Search(plugin.trackList(), InBookmarks(plugin, "*.trk"), TextString(), cdKey, cddbId);
  return ShowKeptEdit(plugin, found, TextString(), cdKey, cddbId);
}

void LoadBookmarkIndex(Plugin& plugin) {
  plugin.bookmarkIndex().LoadFrom(BookmarkIndexPath(plugin), InBookmarks(plugin, "*.trk"));
}

void SaveBookmarkIndex(Plugin& plugin) {
  DirectoryIndex& index = plugin.bookmarkIndex();
  if (index.Modified()) index.SaveTo(BookmarkIndexPath(plugin));
}

void StartBookmarkIndex(Plugin& plugin) { plugin.bookmarkIndex().Clear(); }

bool EnsureBookmarkDirectory(Plugin& plugin, bool warnIfNot) {
  const TextString& directory = plugin.settings().bookmarkPath;
  // Any existing file system object will do, a plain file too.
  if (platform::PathExists(directory)) return true;
  // These boxes give up when the player unloads the plug-in: nothing is lost by not answering,
  // and the player's thread waits in quit until this thread ends.
  const int answer = TellUser(plugin.window(), "The bookmark directory does not exist. Do you want to create it?",
                              MB_YESNO | MB_ICONQUESTION);
  if (answer == IDYES) {
    if (platform::CreateFolder(directory)) return true;
    TellUser(plugin.window(), "Couldn't create " + directory + "!", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (warnIfNot) {
    TellUser(plugin.window(), "You'd better go to the options dialog and set the bookmark directory...",
             MB_OK | MB_ICONINFORMATION);
  }
  return false;
}

}  // namespace tarnix
