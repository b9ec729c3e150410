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

// The digit of COM and LPT devices: 0 to 9, or the superscripts 1 to 3 of the code pages
// (U+00B9, U+00B2, U+00B3), which the system reserves too.
bool IsDeviceDigit(const char* text, int length) {
  if (length == 1) return text[0] >= '0' && text[0] <= '9';
  return length == 2 && text[0] == '\xC2' && (text[1] == '\xB9' || text[1] == '\xB2' || text[1] == '\xB3');
}

// The system treats these names as devices in every directory, in any letter case, whatever
// extension follows and with blanks before the extension.
bool IsDeviceName(const TextString& name) {
  int stem = name.Find(".");
  if (stem < 0) stem = name.Length();
  while (stem > 0 && name[stem - 1] == ' ') --stem;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    if (SameWord(name.Data(), stem, device)) return true;
  }
  return stem > 3 && (SameWord(name.Data(), 3, "COM") || SameWord(name.Data(), 3, "LPT")) &&
         IsDeviceDigit(name.Data() + 3, stem - 3);
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
