#include "import/chapter_writer.h"

#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "import/chapter_files.h"
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

// Whether the reader gives the name back exactly from "<time> <name>": there the blanks at the
// ends of a name are layout, its tabs spaces and a leading dash a separator. Other names are
// written after a separator of their own, "<time> - <name>", after which the reader keeps the
// rest of the line as it stands.
bool ReadsBackPlain(const std::string& name) {
  return SeparatorDashLength(name) == 0 && CleanName(name) == ExactName(name);
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
      if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F) c = ' ';
    }
    out += ChapterTime(subtrack.time);
    if (!name.empty()) out += (ReadsBackPlain(name) ? " " : " - ") + name;
    out += "\n";
  }
  *bytes = std::move(out);
  return true;
}

}  // namespace tarnix
