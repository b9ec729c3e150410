#include "import/cue_sheet.h"

#include <cstdint>
#include <string>
#include <vector>

#include "import/utf8.h"
#include "tracklist/msf.h"

namespace tarnix {

namespace {

struct CueTrack {
  std::string title;
  std::string performer;
  int64_t start = -1;  // INDEX 01 in milliseconds; -1 until one is met
  bool inPlayedFile = false;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view NextWord(std::string_view* rest) {
  *rest = TrimBlanks(*rest);
  size_t end = 0;
  while (end < rest->size() && !IsBlank((*rest)[end])) ++end;
  const std::string_view word = rest->substr(0, end);
  rest->remove_prefix(end);
  return word;
}

bool IsKeyword(std::string_view word, std::string_view keyword) {
  if (word.size() != keyword.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    char c = word[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != keyword[i]) return false;
  }
  return true;
}

// A quoted value runs to the last quote on the line, so a name holding quotes survives; an
// unquoted one is the rest of the line.
std::string_view QuotedOrRest(std::string_view rest, bool* quoted) {
  rest = TrimBlanks(rest);
  *quoted = !rest.empty() && rest.front() == '"';
  if (!*quoted) return rest;
  rest.remove_prefix(1);
  const size_t close = rest.rfind('"');
  return close == std::string_view::npos ? rest : rest.substr(0, close);
}

// FILE "name" TYPE, or FILE name TYPE with the type after the last blank.
std::string_view FileValue(std::string_view rest) {
  bool quoted = false;
  std::string_view value = QuotedOrRest(rest, &quoted);
  if (!quoted) {
    const size_t blank = value.find_last_of(" \t");
    if (blank != std::string_view::npos) value = TrimBlanks(value.substr(0, blank));
  }
  return value;
}

// A number of 1 to `maxDigits` digits filling the whole text.
bool ParseNumber(std::string_view s, size_t maxDigits, int64_t* value) {
  if (s.empty() || s.size() > maxDigits) return false;
  int64_t v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  *value = v;
  return true;
}

// mm:ss:ff, 75 frames a second; minutes may pass 99 on long recordings.
bool ParseCueTime(std::string_view s, int64_t* ms) {
  const size_t first = s.find(':');
  if (first == std::string_view::npos) return false;
  const size_t second = s.find(':', first + 1);
  if (second == std::string_view::npos) return false;
  int64_t minutes = 0, seconds = 0, frames = 0;
  if (!ParseNumber(s.substr(0, first), 5, &minutes) ||
      !ParseNumber(s.substr(first + 1, second - first - 1), 2, &seconds) ||
      !ParseNumber(s.substr(second + 1), 2, &frames) || seconds > 59 || frames >= kFramesPerSecond)
    return false;
  *ms = TimeFromMsf64(minutes, seconds, frames);
  return true;
}

std::string RowName(const CueTrack& track, const std::string& sheetPerformer) {
  const std::string title = CleanName(track.title);
  const std::string performer = CleanName(track.performer);
  if (performer.empty() || EqualIgnoringCase(performer, CleanName(sheetPerformer))) return title;
  if (title.empty()) return performer;
  return CleanName(performer + " - " + title);
}

}  // namespace

std::vector<std::string> CueFileNames(std::string_view text) {
  std::vector<std::string> names;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view rest = text.substr(pos, end - pos);
    pos = end + 1;
    if (IsKeyword(NextWord(&rest), "FILE")) names.emplace_back(FileValue(rest));
  }
  return names;
}

bool ParseCueSheet(std::string_view raw, std::string_view playedFileNameUtf8, bool foundByName, ChapterSet* out,
                   const CueFileCheck& exists) {
  *out = ChapterSet();
  if (raw.size() > kMaxCueSheetBytes) return false;
  const std::string text = DecodeCueSheet(raw, exists);
  const std::string_view bytes = text;
  const std::string_view played = FileNameOf(playedFileNameUtf8);

  std::string sheetTitle, sheetPerformer;
  std::vector<CueTrack> tracks;
  bool inTrack = false;
  bool skippingTrack = false;  // a data track: its lines are ignored
  bool fileMatches = false;
  int fileBlocks = 0;

  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view rest = bytes.substr(pos, end - pos);
    pos = end + 1;
    const std::string_view keyword = NextWord(&rest);
    bool quoted = false;
    if (IsKeyword(keyword, "FILE")) {
      ++fileBlocks;
      fileMatches = EqualIgnoringCase(FileNameOf(FileValue(rest)), played);
    } else if (IsKeyword(keyword, "TRACK")) {
      int64_t number = 0;
      if (!ParseNumber(NextWord(&rest), 3, &number) || number < 1) return false;
      const std::string_view mode = NextWord(&rest);
      inTrack = true;
      skippingTrack = !mode.empty() && !IsKeyword(mode, "AUDIO");
      if (!skippingTrack) tracks.emplace_back();
    } else if (IsKeyword(keyword, "INDEX")) {
      int64_t number = 0, ms = 0;
      if (!ParseNumber(NextWord(&rest), 2, &number) || !ParseCueTime(NextWord(&rest), &ms)) return false;
      // INDEX 00 (and PREGAP, never read) mark the gap before a track, not where it starts.
      if (number == 1 && inTrack && !skippingTrack && tracks.back().start < 0) {
        tracks.back().start = ms;
        tracks.back().inPlayedFile = fileMatches;
      }
    } else if (IsKeyword(keyword, "TITLE") || IsKeyword(keyword, "PERFORMER")) {
      const bool title = IsKeyword(keyword, "TITLE");
      const std::string value(QuotedOrRest(rest, &quoted));
      if (!inTrack) {
        (title ? sheetTitle : sheetPerformer) = value;
      } else if (!skippingTrack) {
        (title ? tracks.back().title : tracks.back().performer) = value;
      }
    }
    // REM, CATALOG, FLAGS, ISRC, PREGAP and the rest carry nothing a list shows.
  }
  if (fileBlocks == 0) return false;

  const bool wholeSheet = foundByName && fileBlocks == 1;
  for (const CueTrack& track : tracks) {
    if (track.start < 0 || !(wholeSheet || track.inPlayedFile)) continue;
    if (out->chapters.size() >= kMaxImportedChapters) break;
    Chapter chapter;
    chapter.timeMs = track.start;
    chapter.name = RowName(track, sheetPerformer);
    out->chapters.push_back(std::move(chapter));
  }
  if (out->chapters.empty()) return false;
  out->album = CleanName(sheetTitle);
  out->artist = CleanName(sheetPerformer);
  return true;
}

}  // namespace tarnix
