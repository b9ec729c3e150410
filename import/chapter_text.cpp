#include "import/chapter_text.h"

#include "import/utf8.h"

namespace tarnix {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) AppendUtf8(static_cast<unsigned char>(c), &out);
  return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  const size_t units = bytes.size() / 2;
  const auto unit = [&](size_t i) {
    const auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
    const auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
    return uint32_t{hi} << 8 | lo;
  };
  for (size_t i = 0; i < units; ++i) {
    const uint32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (unit(i + 1) - 0xDC00), &out);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(kReplacement, &out);
    } else {
      AppendUtf8(u, &out);
    }
  }
  return out;
}

std::string Utf16BomToUtf8(std::string_view bytes, bool bigEndianDefault) {
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b0 == 0xFE && b1 == 0xFF) return Utf16ToUtf8(bytes.substr(2), true);
    if (b0 == 0xFF && b1 == 0xFE) return Utf16ToUtf8(bytes.substr(2), false);
  }
  return Utf16ToUtf8(bytes, bigEndianDefault);
}

bool AddChapter(ChapterSet* set, int64_t timeMs, std::string_view utf8Name) {
  if (timeMs < 0 || ChaptersFull(*set)) return false;
  set->chapters.push_back(Chapter{timeMs, CleanName(utf8Name)});
  return true;
}

bool AddChapterAsWritten(ChapterSet* set, int64_t timeMs, std::string_view utf8Name) {
  if (timeMs < 0 || ChaptersFull(*set)) return false;
  set->chapters.push_back(Chapter{timeMs, ExactName(utf8Name)});
  return true;
}

}  // namespace tarnix
