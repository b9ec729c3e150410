#include "import/id3v2_chapter_frames.h"

#include <algorithm>
#include <vector>

#include "import/utf8.h"

namespace tarnix {
namespace {

constexpr int64_t kNoTime = 0xFFFFFFFFll;  // the largest time a frame holds, and "no offset"
constexpr size_t kTableEntries = 255;
constexpr char kTopLevel = 0x02, kOrdered = 0x01;

std::string Be32Bytes(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 8 & 0xFF),
          static_cast<char>(v & 0xFF)};
}

std::vector<uint32_t> CodePoints(std::string_view utf8) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = Utf8SequenceLength(utf8, i);
    if (n == 0) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    const auto lead = static_cast<unsigned char>(utf8[i]);
    uint32_t cp = n == 1 ? lead : n == 2 ? lead & 0x1Fu : n == 3 ? lead & 0x0Fu : lead & 0x07u;
    for (size_t k = 1; k < n; ++k) cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    out.push_back(cp);
    i += n;
  }
  return out;
}

std::string Utf16LeWithBom(const std::vector<uint32_t>& codePoints) {
  std::string out = "\xFF\xFE";
  const auto unit = [&](uint32_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  for (const uint32_t cp : codePoints) {
    if (cp < 0x10000) {
      unit(cp);
    } else {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string ElementId(const char* prefix, size_t index) { return prefix + std::to_string(index); }

std::string Table(std::string_view id, char flags, const std::vector<std::string>& entries, int version) {
  std::string data = std::string(id) + '\0' + flags + static_cast<char>(entries.size());
  for (const std::string& entry : entries) data += entry + '\0';
  return Id3v2Frame("CTOC", data, version);
}

}  // namespace

std::string Id3v2Synchsafe(uint32_t v) {
  return {static_cast<char>(v >> 21 & 0x7F), static_cast<char>(v >> 14 & 0x7F), static_cast<char>(v >> 7 & 0x7F),
          static_cast<char>(v & 0x7F)};
}

std::string Id3v2Frame(std::string_view id, std::string_view data, int version) {
  const auto size = static_cast<uint32_t>(data.size());
  return std::string(id) + (version == 4 ? Id3v2Synchsafe(size) : Be32Bytes(size)) + std::string(2, '\0') +
         std::string(data);
}

std::string Id3v2TextData(std::string_view utf8, int version) {
  const std::vector<uint32_t> codePoints = CodePoints(utf8);
  if (std::all_of(codePoints.begin(), codePoints.end(), [](uint32_t cp) { return cp <= 0xFF; })) {
    std::string latin1(1, '\0');
    for (const uint32_t cp : codePoints) latin1 += static_cast<char>(cp);
    return latin1;
  }
  if (version == 4) return '\x03' + ValidUtf8(utf8);
  return '\x01' + Utf16LeWithBom(codePoints);
}

bool BuildId3v2ChapterFrames(const ChaptersToEmbed& chapters, int64_t lastEndMs, int version, std::string* out,
                             std::string* reason) {
  const std::vector<Chapter>& list = chapters.chapters;
  if (list.size() > kMaxId3v2Chapters) {
    *reason = "too many chapters for an ID3v2 tag";
    return false;
  }
  std::string frames;
  std::vector<std::string> ids;
  for (size_t i = 0; i < list.size(); ++i) {
    const int64_t start = list[i].timeMs;
    const int64_t end = std::max(start, i + 1 < list.size() ? list[i + 1].timeMs : lastEndMs);
    if (start < 0 || end > kNoTime - 1) {
      *reason = "a chapter's time does not fit an ID3v2 chapter frame";
      return false;
    }
    ids.push_back(ElementId("chp", i));
    std::string data = ids.back() + '\0' + Be32Bytes(static_cast<uint32_t>(start)) +
                       Be32Bytes(static_cast<uint32_t>(end)) + Be32Bytes(0xFFFFFFFF) + Be32Bytes(0xFFFFFFFF);
    if (!list[i].name.empty()) data += Id3v2Frame("TIT2", Id3v2TextData(list[i].name, version), version);
    frames += Id3v2Frame("CHAP", data, version);
  }
  if (ids.empty()) {
    out->clear();
    return true;
  }
  std::string tables;
  if (ids.size() <= kTableEntries) {
    tables = Table("toc", kTopLevel | kOrdered, ids, version);
  } else {
    std::vector<std::string> parts;
    for (size_t first = 0; first < ids.size(); first += kTableEntries) {
      parts.push_back(ElementId("toc", parts.size()));
      const auto last = ids.begin() + static_cast<std::ptrdiff_t>(std::min(ids.size(), first + kTableEntries));
      tables += Table(parts.back(), kOrdered,
                      std::vector<std::string>(ids.begin() + static_cast<std::ptrdiff_t>(first), last), version);
    }
    tables = Table("toc", kTopLevel | kOrdered, parts, version) + tables;
  }
  *out = tables + frames;
  return true;
}

}  // namespace tarnix
