#include "tracklist/skip_marks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tracklist/msf.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"

namespace tarnix::skipmarks {

namespace {

// Upper case as written; a reader compares tags ignoring case, as it does for the others.
constexpr char kTag[] = "[Skip  ] ";
constexpr int kTagLength = 9;

bool IsTag(const char* line, int length) {
  if (length < kTagLength) return false;
  for (int i = 0; i < kTagLength; ++i) {
    char c = line[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    char t = kTag[i];
    if (t >= 'A' && t <= 'Z') t = static_cast<char>(t - 'A' + 'a');
    if (c != t) return false;
  }
  return true;
}

}  // namespace

int32_t StoredTime(int32_t time) {
  const Msf msf = MsfFromTime(time);
  return TimeFromMsf(msf.minutes, msf.seconds, msf.frames);
}

int Occurrences::Next(int32_t trackNumber, int32_t time) { return ++seen_[{trackNumber, StoredTime(time)}]; }

bool FormatLine(int32_t trackNumber, int32_t time, int occurrence, std::string* out) {
  if (trackNumber < 1 || time < 0) return false;
  const Msf msf = MsfFromTime(time);
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%s%02d:%02d:%02d:%02d", kTag, static_cast<int>(trackNumber),
                static_cast<int>(msf.minutes), static_cast<int>(msf.seconds), static_cast<int>(msf.frames));
  out->assign(buffer);
  if (occurrence > 1) *out += " #" + std::to_string(occurrence);
  return true;
}

void AppendLines(const TrackList& list, std::string* out) {
  const auto marked = [](const Track& track) {
    return std::any_of(track.subtracks.begin(), track.subtracks.end(), [](const Subtrack& s) { return s.skip; });
  };
  if (std::none_of(list.tracks.begin(), list.tracks.end(), marked)) return;
  std::string line;
  Occurrences places;
  for (const Track& track : list.tracks) {
    for (const Subtrack& entry : track.subtracks) {
      const int occurrence = places.Next(track.number, entry.time);
      if (!entry.skip || !FormatLine(track.number, entry.time, occurrence, &line)) continue;
      out->append(line);
      out->append("\r\n");
    }
  }
}

bool PendingMarks::TakeLine(const char* line, int length) {
  if (!IsTag(line, length)) return false;
  // The value must be nothing but "track:minutes:seconds:frames", with an occurrence " #n" after
  // it or not; anything else is not a mark.
  std::string value(line + kTagLength, static_cast<size_t>(length - kTagLength));
  int occurrence = 1;
  const size_t hash = value.find(" #");
  if (hash != std::string::npos) {
    const std::string n = value.substr(hash + 2);
    if (n.empty() || n.size() > 5 || n.find_first_not_of("0123456789") != std::string::npos) return true;
    occurrence = std::stoi(n);
    value.resize(hash);
  }
  const char* p = value.c_str();
  if (*p < '0' || *p > '9') return true;
  const int32_t track = trackfile::LeadingNumber(p);
  while (*p >= '0' && *p <= '9') ++p;
  if (*p != ':' || track < 1) return true;
  ++p;
  for (const char* q = p; *q; ++q) {
    if ((*q < '0' || *q > '9') && *q != ':') return true;
  }
  const int32_t time = ParseMsf(p);
  if (time < 0 || occurrence < 1) return true;
  marks_.emplace(track, time, occurrence);
  return true;
}

bool PendingMarks::Claim(int32_t trackNumber, int32_t time, int occurrence) {
  return marks_.count({trackNumber, time, occurrence}) > 0;
}

}  // namespace tarnix::skipmarks
