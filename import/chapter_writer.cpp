#include "import/chapter_writer.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "import/utf8.h"

namespace tarnix {

namespace {

// H:MM:SS.mmm with at least two digits of hours, so the line never reads as MM:SS.
std::string ChapterTime(int32_t ms) {
  const int64_t t = ms < 0 ? 0 : ms;
  char text[40];
  std::snprintf(text, sizeof text, "%02" PRId64 ":%02" PRId64 ":%02" PRId64 ".%03" PRId64, t / 3600000, t / 60000 % 60,
                t / 1000 % 60, t % 1000);
  return text;
}

bool StartsWithSeparatorDash(std::string_view name) {
  for (const std::string_view dash : {std::string_view("-"), std::string_view("\xE2\x80\x93")}) {
    if (name.substr(0, dash.size()) == dash &&
        (name.size() == dash.size() || name[dash.size()] == ' ' || name[dash.size()] == '\t'))
      return true;
  }
  return false;
}

}  // namespace

bool MakeChapterText(const TrackList& list, int trackIndex, std::string* bytes, std::string* reason) {
  bytes->clear();
  reason->clear();
  if (list.subsongs || list.cddbId != 0 || list.cdKey != 0 || list.TrackCount() != 1) {
    *reason = "Only the list of a single file can be exported as chapters.";
    return false;
  }
  if (trackIndex < 0 || trackIndex >= list.TrackCount()) {
    *reason = "There is no playing track to export.";
    return false;
  }
  std::string out;
  for (const Subtrack& subtrack : list.tracks[static_cast<size_t>(trackIndex)].subtracks) {
    std::string name = ValidUtf8(std::string_view(subtrack.name.c_str(), static_cast<size_t>(subtrack.name.Length())));
    for (char& c : name) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    out += ChapterTime(subtrack.time);
    // Readers take a dash after the time for a separator ("0:00 - Title"); a name that starts
    // with one gets a separator of its own, so that its dash is read back as part of it.
    if (StartsWithSeparatorDash(name)) out += " -";
    if (!name.empty()) out += " " + name;
    out += "\n";
  }
  *bytes = std::move(out);
  return true;
}

}  // namespace tarnix
