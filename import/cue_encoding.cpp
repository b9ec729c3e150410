#include "import/cue_encoding.h"

#include <cstdint>
#include <vector>

#include "import/cue_sheet.h"
#include "import/utf8.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

std::string Utf8FromUtf16(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  const size_t units = bytes.size() / 2;  // an odd last byte is no character
  auto unit = [&](size_t i) -> uint32_t {
    const auto a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
    return bigEndian ? (uint32_t{a} << 8) | b : (uint32_t{b} << 8) | a;
  };
  for (size_t i = 0; i < units; ++i) {
    uint32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // half of a pair
    }
    AppendUtf8(c, &out);
  }
  return out;
}

// A disc has at most 99 tracks, each in a file at most: names beyond them are not looked for,
// so that a sheet of thousands of FILE lines costs no more than a disc's.
constexpr size_t kMaxFilesLookedFor = 99;

// Whether one of the first FILE lines of the text names a file that exists.
bool NamesAFile(const std::vector<std::string>& names, const CueFileCheck& exists) {
  for (size_t i = 0; i < names.size() && i < kMaxFilesLookedFor; ++i) {
    const std::string_view file = FileNameOf(names[i]);
    if (!file.empty() && exists(file)) return true;
  }
  return false;
}

}  // namespace

std::string DecodeCueSheet(std::string_view bytes, const CueFileCheck& exists) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return ValidUtf8(bytes.substr(3));
  if (bytes.substr(0, 2) == "\xFF\xFE") return Utf8FromUtf16(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return Utf8FromUtf16(bytes.substr(2), true);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  const unsigned system = platform::AnsiCodePage();
  std::string text = platform::Utf8FromCodePage(system, bytes);
  if (!exists) return text;
  const std::vector<std::string> names = CueFileNames(text);
  // Every code page reads ASCII alike: only a name beyond it can tell them apart.
  bool telling = false;
  for (const std::string& name : names) telling = telling || !IsAscii(name);
  if (!telling || NamesAFile(names, exists)) return text;
  for (const unsigned codePage : kCueCodePages) {
    if (codePage == system) continue;
    std::string other = platform::Utf8FromCodePage(codePage, bytes);
    if (!other.empty() && NamesAFile(CueFileNames(other), exists)) return other;
  }
  return text;
}

}  // namespace tarnix
