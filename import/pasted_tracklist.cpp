#include "import/pasted_tracklist.h"

#include <cstdint>

#include "import/utf8.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsOpening(char c) { return c == '[' || c == '('; }
bool IsClosing(char c) { return c == ']' || c == ')'; }

// The separators a name is trimmed of: blanks, dashes, bars, colons, dots and bullets.
size_t SeparatorAt(std::string_view s, size_t i) {
  static constexpr std::string_view kMulti[] = {"\xE2\x80\x93", "\xE2\x80\x94", "\xE2\x80\xA2", "\xC2\xB7",
                                                "\xC2\xA0"};  // – — • · no-break space
  const char c = s[i];
  if (c == ' ' || c == '\t' || c == '-' || c == '|' || c == ':' || c == '.' || c == '~' || c == '*') return 1;
  for (const std::string_view m : kMulti) {
    if (s.substr(i, m.size()) == m) return m.size();
  }
  return 0;
}

std::string_view TrimSeparators(std::string_view s) {
  for (size_t n; !s.empty() && (n = SeparatorAt(s, 0)) != 0;) s.remove_prefix(n);
  // From the end: step back over whole characters, so only complete separators go.
  for (;;) {
    size_t start = s.size();
    while (start > 0 && (static_cast<unsigned char>(s[start - 1]) & 0xC0) == 0x80) --start;
    if (start == 0) break;
    --start;
    const size_t n = SeparatorAt(s, start);
    if (n == 0 || start + n != s.size()) break;
    s.remove_suffix(n);
  }
  return s;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Digits at `i`, at most `maxDigits` of them; the count read (0 when none or too many).
size_t ReadDigits(std::string_view s, size_t i, size_t maxDigits, int64_t* value) {
  size_t n = 0;
  int64_t v = 0;
  while (i + n < s.size() && IsDigit(s[i + n])) {
    if (++n > maxDigits) return 0;
    v = v * 10 + (s[i + n - 1] - '0');
  }
  *value = v;
  return n;
}

// A time [h:]mm:ss at `i`, not followed by another digit or colon; its length, or 0.
size_t ReadTime(std::string_view s, size_t i, int64_t* ms) {
  int64_t parts[3] = {0, 0, 0};
  size_t count = 0;
  size_t at = i;
  for (;;) {
    int64_t v = 0;
    const size_t n = ReadDigits(s, at, count == 0 ? 3 : 2, &v);
    if (n == 0 || (count > 0 && n != 2)) return 0;
    parts[count++] = v;
    at += n;
    if (count == 3 || at >= s.size() || s[at] != ':') break;
    ++at;
  }
  if (count < 2 || (at < s.size() && (IsDigit(s[at]) || s[at] == ':'))) return 0;
  const int64_t seconds = parts[count - 1];
  const int64_t minutes = parts[count - 2];
  if (seconds > 59 || (count == 3 && minutes > 59)) return 0;
  *ms = ((count == 3 ? parts[0] * 60 : 0) + minutes) * 60000 + seconds * 1000;
  return at - i;
}

// An entry number such as "1." or "01)" with the blanks after it; its length, or 0.
size_t ReadEntryNumber(std::string_view s) {
  int64_t unused = 0;
  const size_t n = ReadDigits(s, 0, 4, &unused);
  if (n == 0 || n >= s.size() || (s[n] != '.' && s[n] != ')')) return 0;
  size_t end = n + 1;
  while (end < s.size() && (s[end] == ' ' || s[end] == '\t')) ++end;
  return end;
}

// A time at the start of the line; the name is what follows.
bool TimeAtStart(std::string_view line, int64_t* ms, std::string_view* name) {
  size_t i = ReadEntryNumber(line);
  const bool bracket = i < line.size() && IsOpening(line[i]);
  if (bracket) ++i;
  const size_t n = ReadTime(line, i, ms);
  if (n == 0) return false;
  i += n;
  if (bracket) {
    if (i >= line.size() || !IsClosing(line[i])) return false;
    ++i;
  } else if (i < line.size() && line[i] != ' ' && line[i] != '\t' && SeparatorAt(line, i) == 0) {
    return false;  // "12:34pm" and the like
  }
  std::string_view rest = TrimSeparators(line.substr(i));
  // A range "00:00 - 03:12 Name" names the end of the entry too; that time is no name.
  int64_t unused = 0;
  const bool rangeBracket = !rest.empty() && IsOpening(rest[0]);
  const size_t second = ReadTime(rest, rangeBracket ? 1 : 0, &unused);
  if (second != 0) {
    size_t skip = second + (rangeBracket ? 1 : 0);
    if (rangeBracket && skip < rest.size() && IsClosing(rest[skip])) ++skip;
    rest = TrimSeparators(rest.substr(skip));
  }
  *name = rest;
  return true;
}

// A time at the end of the line, optionally in brackets; the name is what comes before.
bool TimeAtEnd(std::string_view line, int64_t* ms, std::string_view* name) {
  const bool bracket = !line.empty() && IsClosing(line.back());
  if (bracket) line.remove_suffix(1);
  size_t start = line.size();
  while (start > 0 && (IsDigit(line[start - 1]) || line[start - 1] == ':')) --start;
  if (start == line.size() || ReadTime(line, start, ms) != line.size() - start) return false;
  std::string_view before = line.substr(0, start);
  if (bracket) {
    if (before.empty() || !IsOpening(before.back())) return false;
    before.remove_suffix(1);
  } else if (!before.empty() && before.back() != ' ' && before.back() != '\t' &&
             SeparatorAt(before, before.size() - 1) == 0) {
    return false;  // "track2:30" and the like
  }
  *name = TrimSeparators(before.substr(ReadEntryNumber(before)));
  return true;
}

std::string Describe(std::string_view line) {
  std::string shown = CleanName(line);
  if (shown.size() > 60) {
    size_t cut = 60;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
    shown = shown.substr(0, cut) + "...";
  }
  return "\"" + shown + "\"";
}

}  // namespace

bool ParsePastedTracklist(std::string_view text, ChapterSet* out, std::string* reason) {
  *out = ChapterSet();
  reason->clear();
  if (text.size() > kMaxPastedTextBytes) {
    *reason = "The clipboard text is too long to be a tracklist.";
    return false;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string converted;  // text that is not UTF-8 is taken to be in the ANSI code page
  if (!IsValidUtf8(text)) {
    converted = platform::Utf8FromAnsi(text);
    text = converted;
  }
  ChapterSet found;
  size_t pos = 0;
  while (pos < text.size() && found.chapters.size() < kMaxImportedChapters) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
    pos = end + 1;
    int64_t ms = 0;
    std::string_view name;
    if (!TimeAtStart(line, &ms, &name) && !TimeAtEnd(line, &ms, &name)) continue;
    if (!found.chapters.empty() && ms < found.chapters.back().timeMs) {
      *reason = "The times of the tracklist go backwards at the line " + Describe(line) +
                "; only a list of start times can be pasted.";
      return false;
    }
    Chapter chapter;
    chapter.timeMs = ms;
    chapter.name = CleanName(name);
    found.chapters.push_back(std::move(chapter));
  }
  if (found.chapters.size() < 2) {
    *reason = "The clipboard holds no tracklist: at least two lines with a start time such as 12:34 are needed.";
    return false;
  }
  *out = std::move(found);
  return true;
}

}  // namespace tarnix
