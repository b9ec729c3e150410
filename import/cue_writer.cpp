#include "import/cue_writer.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "import/utf8.h"
#include "tracklist/msf.h"

namespace tarnix {

namespace {

// A name as one quoted value: UTF-8, no control characters. Quotes inside stay as they are; the
// reader takes a value to the last quote on its line.
std::string Quoted(const TextString& name) {
  std::string text = ValidUtf8(std::string_view(name.c_str(), static_cast<size_t>(name.Length())));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return "\"" + text + "\"";
}

// mm:ss:ff of the frame nearest to `ms`; minutes are not limited to two digits.
std::string CueTime(int32_t ms) {
  const int64_t frames = (int64_t{ms < 0 ? 0 : ms} * kFramesPerSecond + 500) / 1000;
  char text[40];
  std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64, frames / (60 * kFramesPerSecond),
                frames / kFramesPerSecond % 60, frames % kFramesPerSecond);
  return text;
}

}  // namespace

const char* CueFileType(const TextString& playedPath) {
  const TextString ext = playedPath.UpperExtension();
  if (ext == "MP3") return "MP3";
  if (ext == "AIF" || ext == "AIFF" || ext == "AIFC") return "AIFF";
  return "WAVE";
}

bool MakeCueSheet(const TrackList& list, int trackIndex, const TextString& playedPath, std::string* bytes,
                  std::string* reason) {
  bytes->clear();
  reason->clear();
  if (list.subsongs || list.cddbId != 0 || list.cdKey != 0 || list.TrackCount() != 1) {
    *reason = "Only the list of a single file can be exported as a cue sheet.";
    return false;
  }
  if (trackIndex < 0 || trackIndex >= list.TrackCount() || playedPath.FileNamePart().IsEmpty()) {
    *reason = "There is no playing track to export.";
    return false;
  }
  const Track& track = list.tracks[static_cast<size_t>(trackIndex)];
  if (track.Count() > kMaxCueTracks) {
    char text[160];
    std::snprintf(text, sizeof text, "A cue sheet holds at most %d tracks; this track has %d subtracks.", kMaxCueTracks,
                  track.Count());
    *reason = text;
    return false;
  }
  std::string out = "\xEF\xBB\xBF";
  if (!list.artist.IsEmpty()) out += "PERFORMER " + Quoted(list.artist) + "\r\n";
  if (!list.album.IsEmpty()) out += "TITLE " + Quoted(list.album) + "\r\n";
  out += "FILE " + Quoted(playedPath.FileNamePart()) + " " + CueFileType(playedPath) + "\r\n";
  for (int i = 0; i < track.Count(); ++i) {
    const Subtrack& subtrack = track.subtracks[static_cast<size_t>(i)];
    char number[16];
    std::snprintf(number, sizeof number, "%02d", i + 1);
    out += std::string("  TRACK ") + number + " AUDIO\r\n";
    out += "    TITLE " + Quoted(subtrack.name) + "\r\n";
    out += "    INDEX 01 " + CueTime(subtrack.time) + "\r\n";
  }
  *bytes = std::move(out);
  return true;
}

}  // namespace tarnix
