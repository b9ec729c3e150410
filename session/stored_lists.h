#pragma once
// Connecting the track list with its .trk files in the bookmark directory on the user's
// behalf: the save question before a list is replaced, the default file name, the search for
// the stored list of a newly played file or CD, and the bookmark directory check.

#include "tracklist/text_string.h"

namespace tarnix {

class Plugin;
struct ContentIdentity;

// Saves a changed list (asking first unless auto-save is on); changes declined or failed to
// save are given up.
void SaveIfModified(Plugin& plugin);
// The file name proposed for the current list (never leaves the bookmark directory).
TextString DefaultFileName(const Plugin& plugin);
TextString SavePath(const Plugin& plugin);
// Save the changed list as SaveIfModified does, then load the stored list of the file (by its
// name beside the bookmarks, then by title, then through the index) or of the CD into the
// current list. False when none is stored.
bool SaveAndLoadStoredList(Plugin& plugin, const TextString& title, const TextString& fileName);
// The same for a plain file played at `playedPath` (not a CD track, not a subsong) whose content
// identity the caller read once (empty when it has none): by the list files named after it, then
// by the identity (a list made for it before it was moved or renamed, which follows it to its new
// path and name unless the old path still holds it), then by title.
bool SaveAndLoadStoredFileList(Plugin& plugin, const TextString& title, const TextString& playedPath,
                               const ContentIdentity& identity);
// After the plug-in itself changed the bytes of the recording at `path`: when it is what plays,
// the list remembers its new identity (saved at once when the list is stored and unchanged, else
// with its next save), so that it is still found after the file moves.
void RecordingRewritten(Plugin& plugin, const TextString& path);
bool SaveAndLoadStoredCdList(Plugin& plugin, int32_t cdKey, uint32_t cddbId);
// True when the bookmark directory exists; when it doesn't, asks whether to create it and does
// so, and with warnIfNot says where to set another when it is still missing.
bool EnsureBookmarkDirectory(Plugin& plugin, bool warnIfNot);
// The index of the bookmark directory: read at start-up (ignored when it belongs to another
// directory, another version, or is damaged), written when it changed, started afresh when the
// bookmark directory changes.
void LoadBookmarkIndex(Plugin& plugin);
void SaveBookmarkIndex(Plugin& plugin);
void StartBookmarkIndex(Plugin& plugin);

}  // namespace tarnix
