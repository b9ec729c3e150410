#pragma once
// What the tools that made the Matroska and metadata fixtures read back from them (kept beside
// the fixtures by make-matroska-fixtures.sh): the expected times and names.

#include <cstdint>
#include <map>
#include <string>

#include "tests/import/fixtures.h"

namespace tarnix::testing {

// mkvextract's chapter XML: each ChapterString with the ChapterTimeStart of its atom (the atom's
// start comes before its displays), in milliseconds, nearest.
inline std::map<std::string, int64_t> MkvextractTimes(const std::string& xml) {
  std::map<std::string, int64_t> times;
  const auto value = [&](const std::string& tag, size_t from, size_t* at) {
    const std::string open = "<" + tag + ">";
    *at = xml.find(open, from);
    if (*at == std::string::npos) return std::string();
    *at += open.size();
    return xml.substr(*at, xml.find("</" + tag + ">", *at) - *at);
  };
  size_t at = 0;
  for (;;) {
    const std::string start = value("ChapterTimeStart", at, &at);  // HH:MM:SS.nnnnnnnnn
    if (at == std::string::npos) break;
    const int64_t ns =
        (std::stoll(start.substr(0, 2)) * 3600 + std::stoll(start.substr(3, 2)) * 60 + std::stoll(start.substr(6, 2))) *
            1000000000 +
        std::stoll(start.substr(9));
    const std::string name = value("ChapterString", at, &at);
    if (at == std::string::npos) break;
    times.emplace(name, (ns + 500000) / 1000000);
  }
  return times;
}

// ffprobe's "-show_chapters -of default=nw=1": start_time in seconds, then TAG:title.
inline Expected FfprobeChapters(const std::string& text) {
  Expected out;
  size_t pos = 0;
  int64_t ms = -1;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.rfind("start_time=", 0) == 0) ms = static_cast<int64_t>(std::stod(line.substr(11)) * 1000 + 0.5);
    if (line.rfind("TAG:title=", 0) == 0) out.emplace_back(ms, line.substr(10));
  }
  return out;
}

}  // namespace tarnix::testing
