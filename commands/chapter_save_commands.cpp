// "Save chapters into the file": the playing track's subtracks become the chapters of the
// playing recording. No question is asked; the rewrite runs off the UI thread
// (session/chapter_saves.h) and only a failure is told.

#include "commands/commands.h"

#include <string>

#include "host/player.h"
#include "host/plugin.h"
#include "host/user_messages.h"
#include "import/recording_chapters.h"
#include "session/chapter_saves.h"

namespace tarnix {

void CmdSaveChaptersIntoFile(Plugin& plugin) {
  const TextString played = plugin.playback().currentPath;
  if (played.IsEmpty()) {
    ReportFailure(plugin.window(), "Nothing is playing: there is no file to save chapters into.");
    return;
  }
  const Player player(Shared().playerWindow, &plugin.playback().wideEntryTexts);
  const int lengthMs = player.LengthMs();
  const TrackList& list = plugin.trackList();
  ChapterSave save;
  save.path = played.c_str();
  std::string reason;
  if (!MakeChaptersToEmbed(list, list.currentTrack, lengthMs > 0 ? lengthMs : 0, &save.chapters, &reason)) {
    ReportFailure(plugin.window(), "Chapters could not be saved into " + played.FileNamePart() + ": " +
                                       TextString(reason.c_str()) + ".");
    return;
  }
  StartChapterSave(plugin, std::move(save));
}

}  // namespace tarnix
