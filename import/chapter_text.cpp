#include "import/chapter_text.h"

namespace tarnix {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | cp >> 6);
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | cp >> 12);
    *out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | cp >> 18);
    *out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the valid UTF-8 sequence at `at`, or 0 when it is broken (overlong forms,
// surrogates and values past U+10FFFF count as broken).
size_t Utf8SequenceLength(std::string_view s, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length;
  uint32_t cp;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07u;
  } else {
    return 0;
  }
  if (s.size() - at < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (byte(at + i) & 0x3Fu);
  }
  if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return 0;
  if (cp >= 0xD800 && cp <= 0xDFFF) return 0;
  return length;
}

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

std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = Utf8SequenceLength(bytes, at);
    if (length == 0) {
      AppendUtf8(kReplacement, &out);
      ++at;
    } else {
      out.append(bytes, at, length);
      at += length;
    }
  }
  return out;
}

std::string CleanName(std::string_view utf8) {
  // Only the first kMaxImportedNameBytes matter; a longer text is cut first so cleaning costs
  // no more than the name can hold.
  utf8 = utf8.substr(0, utf8.find('\0'));
  std::string text = ValidUtf8(utf8.substr(0, kMaxImportedNameBytes + 4));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  text.erase(text.find_last_not_of(' ') + 1);
  text.erase(0, first);
  if (text.size() > kMaxImportedNameBytes) {
    size_t cut = kMaxImportedNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.erase(cut);
    text.erase(text.find_last_not_of(' ') + 1);
  }
  return text;
}

bool AddChapter(ChapterSet* set, int64_t timeMs, std::string_view utf8Name) {
  if (timeMs < 0 || ChaptersFull(*set)) return false;
  set->chapters.push_back(Chapter{timeMs, CleanName(utf8Name)});
  return true;
}

}  // namespace tarnix
