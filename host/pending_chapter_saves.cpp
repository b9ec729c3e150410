#include "host/pending_chapter_saves.h"

#include <cstdint>

#include "import/chapter.h"
#include "tracklist/ascii_escape.h"

namespace tarnix {

namespace {

// Bounds that keep a damaged or hostile file harmless.
constexpr size_t kMaxPendingSaves = 64;
constexpr size_t kMaxPathBytes = 32767 * 4;
constexpr int64_t kMaxTimeMs = int64_t{1} << 50;

// A text read back whole and within its bound, or the line is dropped.
bool Unescape(const std::string& field, size_t maxBytes, std::string* out) {
  return UnescapeFromAscii(field, out) && out->size() <= maxBytes;
}

bool ReadNumber(const std::string& field, int64_t* out) {
  if (field.empty() || field.size() > 16) return false;
  int64_t value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > kMaxTimeMs) return false;
  *out = value;
  return true;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

bool ParseLine(const std::string& line, ChapterSave* out) {
  const std::vector<std::string> fields = SplitTabs(line);
  // Path, name, length, then pairs; at least one chapter.
  if (fields.size() < 5 || (fields.size() - 3) % 2 != 0) return false;
  if ((fields.size() - 3) / 2 > kMaxImportedChapters) return false;
  if (!Unescape(fields[0], kMaxPathBytes, &out->path) || out->path.empty()) return false;
  if (!Unescape(fields[1], kMaxImportedNameBytes, &out->chapters.trackName)) return false;
  if (!ReadNumber(fields[2], &out->chapters.lengthMs)) return false;
  int64_t previous = 0;
  for (size_t i = 3; i < fields.size(); i += 2) {
    Chapter chapter;
    if (!ReadNumber(fields[i], &chapter.timeMs) || chapter.timeMs < previous) return false;
    if (!Unescape(fields[i + 1], kMaxImportedNameBytes, &chapter.name)) return false;
    previous = chapter.timeMs;
    out->chapters.chapters.push_back(std::move(chapter));
  }
  return true;
}

}  // namespace

std::string FormatPendingChapterSaves(const std::vector<ChapterSave>& saves) {
  std::string out;
  for (const ChapterSave& save : saves) {
    out += EscapeToAscii(save.path);
    out += '\t';
    out += EscapeToAscii(save.chapters.trackName);
    out += '\t' + std::to_string(save.chapters.lengthMs);
    for (const Chapter& chapter : save.chapters.chapters) {
      out += '\t' + std::to_string(chapter.timeMs) + '\t';
      out += EscapeToAscii(chapter.name);
    }
    out += "\r\n";
  }
  return out;
}

std::vector<ChapterSave> ParsePendingChapterSaves(const std::string& text) {
  std::vector<ChapterSave> saves;
  size_t start = 0;
  while (start < text.size() && saves.size() < kMaxPendingSaves) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ChapterSave save;
    if (ParseLine(line, &save)) saves.push_back(std::move(save));
    start = end + 1;
  }
  return saves;
}

}  // namespace tarnix
