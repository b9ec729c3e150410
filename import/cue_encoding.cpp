#include "import/cue_encoding.h"

#include <vector>

#include "import/chapter_text.h"
#include "import/cue_sheet.h"
#include "import/utf8.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

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
  if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16ToUtf8(bytes.substr(2), false);
  if (bytes.substr(0, 2) == "\xFE\xFF") return Utf16ToUtf8(bytes.substr(2), true);
  // UTF-16 without a mark: a sheet (and a chapter file) begins with an ASCII keyword, blank or
  // digit, and no byte-wide text holds a NUL, so a NUL beside the first character tells the order.
  if (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0')) return Utf16ToUtf8(bytes, bytes[0] == '\0');
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
