#include "import/vorbis_comment_writer.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <utility>

#include "import/bounded_source.h"
#include "import/embed_io.h"
#include "import/utf8.h"

namespace tarnix {
namespace {

// A chapter time up to a million hours; later ones are no real recording's.
constexpr int64_t kMaxChapterMs = int64_t{1000000} * 3600 * 1000 - 1;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithIgnoringCase(std::string_view text, std::string_view upper) {
  if (text.size() < upper.size()) return false;
  for (size_t i = 0; i < upper.size(); ++i) {
    if (Upper(text[i]) != upper[i]) return false;
  }
  return true;
}

void AppendLe32(std::string* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

std::string ChapterKey(size_t number) {
  char key[16];
  std::snprintf(key, sizeof key, "CHAPTER%03u", static_cast<unsigned>(number));
  return key;
}

}  // namespace

bool ParseVorbisCommentBlock(std::string_view bytes, VorbisCommentBlock* out) {
  const auto take = [&](std::string* text) {
    if (bytes.size() < 4 || Le32(bytes.data()) > bytes.size() - 4) return false;
    const size_t length = Le32(bytes.data());
    text->assign(bytes.substr(4, length));
    bytes.remove_prefix(4 + length);
    return true;
  };
  VorbisCommentBlock block;
  if (!take(&block.vendor) || bytes.size() < 4) return false;
  uint32_t count = Le32(bytes.data());
  bytes.remove_prefix(4);
  // Each comment takes at least its four length bytes: a count beyond that is a damaged block.
  if (count > bytes.size() / 4) return false;
  block.comments.resize(count);
  for (std::string& comment : block.comments) {
    if (!take(&comment)) return false;
  }
  block.trailing.assign(bytes);
  *out = std::move(block);
  return true;
}

std::string SerializeVorbisCommentBlock(const VorbisCommentBlock& block) {
  size_t size = 8 + block.vendor.size() + block.trailing.size();
  for (const std::string& comment : block.comments) size += 4 + comment.size();
  std::string out;
  out.reserve(size);
  AppendLe32(&out, static_cast<uint32_t>(block.vendor.size()));
  out += block.vendor;
  AppendLe32(&out, static_cast<uint32_t>(block.comments.size()));
  for (const std::string& comment : block.comments) {
    AppendLe32(&out, static_cast<uint32_t>(comment.size()));
    out += comment;
  }
  out += block.trailing;
  return out;
}

bool IsChapterComment(std::string_view comment) {
  const std::string_view key = comment.substr(0, comment.find('='));
  if (key.size() == comment.size() || !StartsWithIgnoringCase(key, "CHAPTER")) return false;
  size_t digits = 7;
  while (digits < key.size() && key[digits] >= '0' && key[digits] <= '9') ++digits;
  if (digits == 7) return false;
  const std::string_view suffix = key.substr(digits);
  return suffix.empty() || (suffix.size() == 4 && StartsWithIgnoringCase(suffix, "NAME"));
}

std::string FormatChapterTime(int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02d:%02d.%03d", static_cast<long long>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
  return text;
}

EmbedResult ReplaceChapterComments(const ChaptersToEmbed& chapters, VorbisCommentBlock* block) {
  if (chapters.chapters.size() > kMaxVorbisChapters) {
    return Refusal(EmbedStatus::kUnsupported, "more than 999 chapters: Vorbis comments number them in three digits");
  }
  std::vector<std::string> fresh;
  for (size_t i = 0; i < chapters.chapters.size(); ++i) {
    const Chapter& chapter = chapters.chapters[i];
    if (chapter.timeMs < 0 || chapter.timeMs > kMaxChapterMs) {
      return Refusal(EmbedStatus::kUnsupported, "a chapter time is out of range");
    }
    const std::string key = ChapterKey(i + 1);
    fresh.push_back(key + "=" + FormatChapterTime(chapter.timeMs));
    // The readers clean a name the same way: what is written is what they give back.
    const std::string name = CleanName(chapter.name);
    if (!name.empty()) fresh.push_back(key + "NAME=" + name);
  }

  std::vector<std::string> kept;
  size_t insertAt = SIZE_MAX, firstPicture = SIZE_MAX;
  for (std::string& comment : block->comments) {
    if (IsChapterComment(comment)) {
      if (insertAt == SIZE_MAX) insertAt = kept.size();
      continue;
    }
    if (firstPicture == SIZE_MAX && StartsWithIgnoringCase(comment, "METADATA_BLOCK_PICTURE=")) {
      firstPicture = kept.size();
    }
    kept.push_back(std::move(comment));
  }
  if (insertAt == SIZE_MAX) insertAt = firstPicture == SIZE_MAX ? kept.size() : firstPicture;
  kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(insertAt), std::make_move_iterator(fresh.begin()),
              std::make_move_iterator(fresh.end()));
  block->comments = std::move(kept);
  return EmbedResult{EmbedStatus::kWritten, {}, {}};
}

}  // namespace tarnix
