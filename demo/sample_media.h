#pragma once
// The demo's sample playlist: a long concert recording whose stored list has subtracks past
// 100 minutes, a three-track audio CD given as ".CDA" track files, and a file with subsongs.
// Everything here is bytes and lists; writing them into a player directory is the caller's.

#include "tracklist/cd_identity.h"
#include "tracklist/track_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnix::demo {

// One track of the sample disc as its ".CDA" file records it (start without the lead-in).
struct DiscTrack {
  int number;
  int32_t startFrame;
  int32_t lengthFrames;
};

constexpr int32_t kSampleDiscSerial = 0x5A17C0DE;
const std::vector<DiscTrack>& SampleDisc();

// The 44 bytes of a ".CDA" track file: RIFF/CDDA/"fmt " header with chunk size 24, format
// version 1, the track number, the volume serial, start and length in frames, then start and
// length once more as frame/second/minute bytes.
std::string CdaFileBytes(const DiscTrack& track, int32_t volumeSerial);

// The disc id the plug-in computes from the sample disc's track files.
uint32_t SampleDiscId();

// The concert: one file of 2 h 10 min, its list stored under the file's own name.
constexpr const char* kConcertTitle = "The Examples - Live at the Old Hall";
constexpr int32_t kConcertLengthMs = (2 * 60 + 10) * 60 * 1000;
TrackList ConcertList();

// The CD's stored list, found by the disc's identity.
constexpr const char* kCdArtist = "The Examples";
constexpr const char* kCdAlbum = "Studio Sessions";
TrackList CdList();

// The file with subsongs: names the subsong source gives to the plug-in.
constexpr const char* kSubsongTitle = "Chiptune Collection";
const std::vector<std::string>& SubsongNames();
constexpr int32_t kSubsongLengthMs = 3 * 60 * 1000;

// A festival set recorded in one file, with the cue sheet its ripper wrote beside it and no
// stored list: the plug-in shows the sheet's tracks at the first play.
constexpr const char* kFestivalTitle = "Festival Live Set";
constexpr const char* kFestivalFile = "Festival Live Set.flac";
constexpr int32_t kFestivalLengthMs = 75 * 60 * 1000;
std::string FestivalCueSheet();

// Names the code page cannot hold: a Japanese and a Cyrillic title, each with its stored list
// (UTF-8 after the byte-order mark, as the plug-in writes such a list), and a Greek cue sheet
// beside its recording in a folder with a Cyrillic name.
constexpr const char* kJapaneseTitle = "愛の歌";
constexpr const char* kCyrillicTitle = "Звёздная ночь";
constexpr const char* kNamesFolder = "Музыка";
constexpr const char* kGreekTitle = "Συναυλία";
constexpr int32_t kNamesLengthMs = 10 * 60 * 1000;
std::string JapaneseListBytes();
std::string CyrillicListBytes();
std::string GreekCueSheet();

}  // namespace tarnix::demo
