#include "demo/sample_media.h"

#include "tests/support/cda_bytes.h"
#include "tracklist/msf.h"

#include <cstring>

namespace tarnix::demo {

namespace {

int32_t At(int minutes, int seconds, int frames = 0) { return TimeFromMsf(minutes, seconds, frames); }

// Adds the subtracks of `marks` to track `index` (0-based) of `list`.
struct Mark {
  int32_t time;
  const char* name;
};

void AddMarks(TrackList& list, int index, const char* trackName, const std::vector<Mark>& marks) {
  Track& track = list.tracks[static_cast<size_t>(index)];
  track.RenameSubtrack(0, trackName);
  for (const Mark& mark : marks) track.AddSubtrack(mark.name, mark.time);
}

}  // namespace

const std::vector<DiscTrack>& SampleDisc() {
  static const std::vector<DiscTrack> disc = {
      {1, 0, 18750},      // 4:10
      {2, 18750, 29625},  // 6:35
      {3, 48375, 15000},  // 3:20
  };
  return disc;
}

std::string CdaFileBytes(const DiscTrack& track, int32_t volumeSerial) {
  return testsupport::CdaHeaderBytes(track.number, static_cast<uint32_t>(volumeSerial), track.startFrame,
                                     track.lengthFrames);
}

uint32_t SampleDiscId() {
  std::vector<CdaEntry> entries;
  for (const DiscTrack& track : SampleDisc()) {
    entries.push_back({track.startFrame + kLeadInFrames, track.lengthFrames});
  }
  return DiscIdOf(entries);
}

TrackList ConcertList() {
  TrackList list;
  list.Reset(kConcertTitle, 1, 0);
  list.album = kConcertTitle;
  list.artist = "The Examples";
  AddMarks(list, 0, "Opening",
           {{At(7, 40), "Overture in D"},
            {At(19, 5, 30), "Night Train"},
            {At(33, 20), "The Long Road"},
            {At(48, 10), "Interlude"},
            {At(61, 45, 12), "Song for Maria"},
            {At(77, 30), "Drum Solo"},
            {At(93, 50), "Harbour Lights"},
            {At(99, 58), "Before the Encore"},
            {At(101, 15, 40), "Encore: Old Hall Blues"},
            {At(112, 40), "Encore: Goodnight"},
            {At(124, 5, 60), "Applause"}});
  list.modified = false;
  return list;
}

std::string FestivalCueSheet() {
  // As rippers write them: REM lines, a FILE line naming the WAV it was ripped to, pregaps, a
  // guest's PERFORMER on one track.
  return "REM GENRE Electronic\r\nREM DATE 2026\r\nPERFORMER \"The Examples\"\r\n"
         "TITLE \"Festival Live Set\"\r\nFILE \"Festival Live Set.wav\" WAVE\r\n"
         "  TRACK 01 AUDIO\r\n    TITLE \"Warm-up\"\r\n    INDEX 01 00:00:00\r\n"
         "  TRACK 02 AUDIO\r\n    TITLE \"Signal\"\r\n    INDEX 00 12:28:00\r\n    INDEX 01 12:30:00\r\n"
         "  TRACK 03 AUDIO\r\n    TITLE \"Tide\"\r\n    PERFORMER \"Guest Singer\"\r\n"
         "    INDEX 01 27:45:37\r\n"
         "  TRACK 04 AUDIO\r\n    TITLE \"Afterglow\"\r\n    INDEX 01 49:10:00\r\n"
         "  TRACK 05 AUDIO\r\n    TITLE \"Last Call\"\r\n    INDEX 01 66:02:50\r\n";
}

std::string JapaneseListBytes() {
  return "\xEF\xBB\xBF[Album ] 愛の歌\r\n[Artist] 桜井\r\n"
         "01:00:00:00*はじまり\r\n01:01:30:00 春の雨\r\n01:03:10:00 夜明け前\r\n";
}

std::string CyrillicListBytes() {
  return "\xEF\xBB\xBF[Album ] Звёздная ночь\r\n[Artist] Ансамбль\r\n"
         "01:00:00:00*Пролог\r\n01:02:00:00 Метель\r\n01:04:30:00 Эпилог\r\n";
}

std::string GreekCueSheet() {
  return "PERFORMER \"Ορχήστρα\"\r\nTITLE \"Συναυλία\"\r\nFILE \"Συναυλία.wav\" WAVE\r\n"
         "  TRACK 01 AUDIO\r\n    TITLE \"Ωδή\"\r\n    INDEX 01 00:00:00\r\n"
         "  TRACK 02 AUDIO\r\n    TITLE \"Ωmega → café\"\r\n    INDEX 01 02:00:00\r\n"
         "  TRACK 03 AUDIO\r\n    TITLE \"Вальс\"\r\n    INDEX 01 04:00:00\r\n"
         "  TRACK 04 AUDIO\r\n    TITLE \"桜の木\"\r\n    INDEX 01 06:00:00\r\n";
}

TrackList CdList() {
  TrackList list;
  list.Reset(kCdAlbum, static_cast<int>(SampleDisc().size()), SampleDiscId());
  list.cdKey = kSampleDiscSerial;
  list.album = kCdAlbum;
  list.artist = kCdArtist;
  AddMarks(list, 0, "Morning", {{At(1, 20), "First light"}, {At(3, 5, 37), "Coffee"}});
  AddMarks(list, 1, "Afternoon", {{At(2, 0), "Walk"}, {At(4, 30), "Rain"}});
  AddMarks(list, 2, "Evening", {{At(1, 10), "Sunset"}, {At(2, 45), "Night"}});
  list.modified = false;
  return list;
}

const std::vector<std::string>& SubsongNames() {
  static const std::vector<std::string> names = {"Title Theme", "Forest Stage", "Boss Battle", "Ending"};
  return names;
}

}  // namespace tarnix::demo
