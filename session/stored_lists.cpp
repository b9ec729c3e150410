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
  // A failed save keeps the changes aside, and so does quit, at which nobody is asked; declined,
  // they are given up. Either way they are not offered again.
  if (answer == IDYES) SaveListOrKeep(plugin, list, path);
  if (answer == kNoAnswerAtQuit) KeepEditForNextStart(plugin, list, path);
  list.modified = false;
}

bool SaveAndLoadStoredList(Plugin& plugin, const TextString& title, const TextString& fileName) {
  SaveIfModified(plugin);
  if (!fileName.IsEmpty()) {
    const TextString byFile = InBookmarks(plugin, fileName.WithoutExtension() + ".trk");
    if (LoadCandidate(plugin, byFile, title)) return true;
    const TextString byName = InBookmarks(plugin, fileName.FileNamePart().WithoutExtension() + ".trk");
    if (!byName.EqualsIgnoringCase(byFile) && LoadCandidate(plugin, byName, title)) return true;
  }
  if (LoadCandidate(plugin, TitleCandidate(plugin.settings().bookmarkPath, title), title)) return true;
  return ShowKeptEdit(plugin,
                      plugin.bookmarkIndex().Search(plugin.trackList(), InBookmarks(plugin, "*.trk"), title, 0, 0),
                      title, 0, 0);
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
