#include "import/vorbis_comments.h"

#include <map>
#include <string>

#include "import/bounded_source.h"
#include "import/chapter_text.h"

namespace tarnix {
namespace {

// Chapter numbers kept while reading; a block naming more distinct numbers than this is absurd.
constexpr size_t kMaxChapterNumbers = 4 * kMaxImportedChapters;
constexpr size_t kMaxNumberDigits = 9;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool KeyIs(std::string_view key, std::string_view upper) {
  if (key.size() != upper.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    if (Upper(key[i]) != upper[i]) return false;
  }
  return true;
}

// Reads up to kMaxNumberDigits leading digits of `text` into `value`; the count read.
size_t ReadDigits(std::string_view text, uint32_t* value) {
  size_t n = 0;
  *value = 0;
  while (n < text.size() && n < kMaxNumberDigits && text[n] >= '0' && text[n] <= '9') {
    *value = *value * 10 + static_cast<uint32_t>(text[n] - '0');
    ++n;
  }
  return n;
}

struct PendingChapter {
  std::optional<int64_t> timeMs;
  std::string name;
};

}  // namespace

std::optional<int64_t> ParseChapterTime(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  uint32_t fields[3];
  size_t count = 0;
  for (;;) {
    const size_t n = ReadDigits(text, &fields[count]);
    if (n == 0) return std::nullopt;
    text.remove_prefix(n);
    ++count;
    if (text.empty() || text[0] != ':') break;
    if (count == 3) return std::nullopt;
    text.remove_prefix(1);
  }
  if (count < 2) return std::nullopt;
  int64_t fractionMs = 0;
  if (!text.empty() && text[0] == '.') {
    text.remove_prefix(1);
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return std::nullopt;
    for (size_t i = 0; i < 3; ++i) fractionMs = fractionMs * 10 + (i < digits ? text[i] - '0' : 0);
    text.remove_prefix(digits);
  }
  if (!text.empty()) return std::nullopt;
  const uint32_t seconds = fields[count - 1];
  const uint32_t minutes = fields[count - 2];
  const uint32_t hours = count == 3 ? fields[0] : 0;
  if (seconds >= 60 || (count == 3 && minutes >= 60)) return std::nullopt;
  return ((int64_t{hours} * 60 + minutes) * 60 + seconds) * 1000 + fractionMs;
}

bool ReadVorbisComments(std::string_view block, ChapterSet* out) {
  if (block.size() < 4) return false;
  const uint32_t vendorLength = Le32(block.data());
  if (vendorLength > block.size() - 4) return false;
  block.remove_prefix(4 + size_t{vendorLength});
  if (block.size() < 4) return false;
  uint32_t count = Le32(block.data());
  block.remove_prefix(4);

  std::map<uint32_t, PendingChapter> pending;
  std::string albumArtist;
  for (; count > 0 && block.size() >= 4; --count) {
    const uint32_t length = Le32(block.data());
    if (length > block.size() - 4) break;
    const std::string_view comment = block.substr(4, length);
    block.remove_prefix(4 + size_t{length});
    const size_t equals = comment.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = comment.substr(0, equals);
    const std::string_view value = comment.substr(equals + 1);

    if (key.size() > 7 && KeyIs(key.substr(0, 7), "CHAPTER")) {
      uint32_t number;
      const size_t digits = ReadDigits(key.substr(7), &number);
      const std::string_view suffix = key.substr(7 + digits);
      if (digits == 0 || (!suffix.empty() && !KeyIs(suffix, "NAME"))) continue;
      auto it = pending.find(number);
      if (it == pending.end()) {
        if (pending.size() >= kMaxChapterNumbers) continue;
        it = pending.emplace(number, PendingChapter{}).first;
      }
      if (suffix.empty()) {
        if (!it->second.timeMs) it->second.timeMs = ParseChapterTime(value);
      } else if (it->second.name.empty()) {
        it->second.name = CleanName(value);
      }
    } else if (KeyIs(key, "ALBUM")) {
      if (out->album.empty()) out->album = CleanName(value);
    } else if (KeyIs(key, "ARTIST")) {
      if (out->artist.empty()) out->artist = CleanName(value);
    } else if (KeyIs(key, "ALBUMARTIST")) {
      if (albumArtist.empty()) albumArtist = CleanName(value);
    } else if (KeyIs(key, "CUESHEET")) {
      if (out->embeddedCueSheet.empty()) out->embeddedCueSheet.assign(value);
    }
  }
  if (out->artist.empty()) out->artist = albumArtist;
  for (const auto& [number, chapter] : pending) {
    if (chapter.timeMs && !AddChapter(out, *chapter.timeMs, chapter.name)) break;
  }
  return true;
}

}  // namespace tarnix
