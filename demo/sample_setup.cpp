#include "demo/sample_setup.h"

#include "demo/sample_media.h"

#include <cstdio>

namespace tarnix::demo {

bool LayOutSampleMedia(testhost::PlayerDirectory& directory, std::vector<testhost::PlaylistEntry>* playlist,
                       std::string* error) {
  const std::string root = directory.Root();
  playlist->clear();

  // The media files themselves are never read by the plug-in; they exist so the paths are real.
  const std::string concert = "Music\\Live at the Old Hall.mp3";
  const std::string chiptunes = "Music\\Chiptunes.nsf";
  if (!directory.WriteFile(concert, "ID3") || !directory.WriteFile(chiptunes, "NESM\x1a")) {
    *error = "could not write the sample media files under " + root + "\\Music";
    return false;
  }
  playlist->push_back({root + "\\" + concert, kConcertTitle, kConcertLengthMs});

  for (const DiscTrack& track : SampleDisc()) {
    char name[32];
    std::snprintf(name, sizeof name, "CD\\Track%02d.cda", track.number);
    if (!directory.WriteFile(name, CdaFileBytes(track, kSampleDiscSerial))) {
      *error = std::string("could not write ") + root + "\\" + name;
      return false;
    }
    char title[64];
    std::snprintf(title, sizeof title, "%s - Track %02d", kCdAlbum, track.number);
    playlist->push_back({root + "\\" + name, title,
                         static_cast<int>(static_cast<int64_t>(track.lengthFrames) * 1000 / kFramesPerSecond)});
  }
  playlist->push_back({root + "\\" + chiptunes, kSubsongTitle, 0});

  const std::string festival = std::string("Music\\") + kFestivalFile;
  const std::string festivalSheet = std::string("Music\\") + kFestivalTitle + ".cue";
  if (!directory.WriteFile(festival, "fLaC") || !directory.WriteFile(festivalSheet, FestivalCueSheet())) {
    *error = "could not write the festival set and its cue sheet under " + root + "\\Music";
    return false;
  }
  playlist->push_back({root + "\\" + festival, kFestivalTitle, kFestivalLengthMs});

  const std::string names = std::string("Music\\") + kNamesFolder + "\\";
  const std::string greek = names + kGreekTitle + ".flac";
  if (!directory.WriteFile("Bookmarks\\" + std::string(kJapaneseTitle) + ".trk", JapaneseListBytes()) ||
      !directory.WriteFile("Bookmarks\\" + std::string(kCyrillicTitle) + ".trk", CyrillicListBytes()) ||
      !directory.WriteFile(greek, "fLaC") || !directory.WriteFile(names + kGreekTitle + ".cue", GreekCueSheet())) {
    *error = "could not write the lists and the sheet with names in other scripts";
    return false;
  }
  playlist->push_back({root + "\\Music\\" + kJapaneseTitle + ".mp3", kJapaneseTitle, kNamesLengthMs});
  playlist->push_back({root + "\\Music\\" + kCyrillicTitle + ".mp3", kCyrillicTitle, kNamesLengthMs});
  playlist->push_back({root + "\\" + greek, kGreekTitle, kNamesLengthMs});

  // The stored lists are written by the track list library's own writer, so they are exactly
  // what the plug-in's Save would write (times of 100 minutes and more included).
  TrackList concertList = ConcertList();
  TrackList cdList = CdList();
  const std::string bookmarks = directory.Bookmarks();
  if (!concertList.Save((bookmarks + "\\" + kConcertListFile).c_str()) ||
      !cdList.Save((bookmarks + "\\" + kCdListFile).c_str())) {
    *error = "could not save the stored lists into " + bookmarks;
    return false;
  }
  return true;
}

}  // namespace tarnix::demo
