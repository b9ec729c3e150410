#include "session/file_names.h"

#include <string_view>

#include "session/row_layout.h"
#include "tracklist/utf8_text.h"

namespace tarnix {

namespace {

bool IsForbidden(unsigned char c) {
  switch (c) {
    case '\\':
    case '/':
    case ':':
    case '*':
    case '?':
    case '"':
    case '<':
    case '>':
    case '|':
      return true;
    default:
      return c < 0x20 || c == 0x7F;
  }
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameWord(const char* text, int length, const char* word) {
  int i = 0;
  for (; i < length && word[i]; ++i) {
    if (Upper(text[i]) != word[i]) return false;
  }
  return i == length && word[i] == '\0';
}

// The system treats these names as devices in every directory, whatever extension follows
// and with blanks before the extension.
bool IsDeviceName(const TextString& name) {
  int stem = name.Find(".");
  if (stem < 0) stem = name.Length();
  while (stem > 0 && name[stem - 1] == ' ') --stem;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    if (SameWord(name.Data(), stem, device)) return true;
  }
  if (stem == 4 && name[3] >= '0' && name[3] <= '9') {
    const char prefix[4] = {Upper(name[0]), Upper(name[1]), Upper(name[2]), '\0'};
    if ((prefix[0] == 'C' && prefix[1] == 'O' && prefix[2] == 'M') ||
        (prefix[0] == 'L' && prefix[1] == 'P' && prefix[2] == 'T')) {
      return true;
    }
  }
  return false;
}

}  // namespace

TextString SafeFileName(const TextString& name) {
  const size_t kept = Utf8PrefixOfUnits(std::string_view(name.c_str(), static_cast<size_t>(name.Length())),
                                        static_cast<size_t>(kMaxListNameLength));
  // Only ASCII bytes are replaced below: the bytes of a longer character never are.
  TextString safe = name.Left(static_cast<int>(kept));
  bool onlyDotsAndBlanks = true;
  if (safe.Length() > 0) {
    safe.Reserve(safe.Length());
    char* out = safe.Buffer();
    for (int i = 0; i < safe.Length(); ++i) {
      if (IsForbidden(static_cast<unsigned char>(out[i]))) out[i] = '_';
      if (out[i] != '.' && out[i] != ' ') onlyDotsAndBlanks = false;
    }
  }
  if (onlyDotsAndBlanks) return TextString("Unknown");
  if (IsDeviceName(safe)) return TextString("_") + safe;
  return safe;
}

TextString DefaultListFileName(const TrackList& list, const TextString& title) {
  const TextString base = list.cddbId != 0 ? JoinNames(list.artist, list.album) : title;
  return SafeFileName(base) + ".trk";
}

TextString TitleCandidate(const TextString& directory, const TextString& title) {
  return directory + "\\" + SafeFileName(title) + ".trk";
}

}  // namespace tarnix
