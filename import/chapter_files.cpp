#include "import/chapter_files.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "import/chapter_text.h"
#include "import/cue_encoding.h"

namespace tarnix {

namespace {

// Times past this (about eleven years) are taken as damage, which also keeps every product
// below far from overflowing.
constexpr int64_t kMaxChapterMs = int64_t{1} << 48;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// 1 to `maxDigits` digits at `*pos`, moved past them.
bool Digits(std::string_view text, size_t* pos, size_t minDigits, size_t maxDigits, int64_t* value) {
  size_t count = 0;
  int64_t v = 0;
  while (*pos + count < text.size() && IsDigit(text[*pos + count]) && count < maxDigits) {
    v = v * 10 + (text[*pos + count] - '0');
    ++count;
  }
  if (count < minDigits || (*pos + count < text.size() && IsDigit(text[*pos + count]))) return false;
  *pos += count;
  *value = v;
  return true;
}

// One line of text at `*pos` (CR LF, LF or CR ended), `*pos` moved to the next.
std::string_view NextLine(std::string_view text, size_t* pos) {
  size_t end = text.find_first_of("\r\n", *pos);
  if (end == std::string_view::npos) end = text.size();
  const std::string_view line = text.substr(*pos, end - *pos);
  *pos = end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
  return line;
}

bool ParsePlainText(std::string_view text, ChapterSet* out) {
  size_t pos = 0;
  while (pos < text.size() && !ChaptersFull(*out)) {
    std::string_view line = NextLine(text, &pos);
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    int64_t ms = 0;
    size_t titleAt = 0;
    if (!ParsePlainTextTime(line, &ms, &titleAt)) continue;  // headings, notes, blank lines
    std::string_view title = line.substr(titleAt);
    while (!title.empty() && IsBlank(title.front())) title.remove_prefix(1);
    // "0:00 Title", or "0:00 - Title" and "0:00 – Title": after a dash and the one blank that
    // follows it the rest of the line is the name as written, blanks and tabs included (the
    // export writes every name that starts or ends with a blank, holds a tab or starts with
    // such a dash that way); without one, blanks at the name's ends are layout.
    const size_t dash = SeparatorDashLength(title);
    if (dash > 0) {
      AddChapterAsWritten(out, ms, title.substr(std::min(title.size(), dash + 1)));
    } else {
      AddChapter(out, ms, title);
    }
  }
  return !out->Empty();
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// One "key=value" entry of the metadata file at `*pos`: a backslash takes the next character
// as it is, so an escaped line break continues the value on the next line.
void NextEntry(std::string_view text, size_t* pos, std::string* key, std::string* value, bool* hasValue) {
  key->clear();
  value->clear();
  *hasValue = false;
  size_t i = *pos;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n') break;
    if (c == '\r' && (i + 1 == text.size() || text[i + 1] == '\n')) continue;
    if (c == '\\' && i + 1 < text.size()) {
      c = text[++i];
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') c = text[++i];
    } else if (c == '=' && !*hasValue) {
      *hasValue = true;
      continue;
    }
    (*hasValue ? value : key)->push_back(c);
  }
  *pos = i + 1;
}

struct PendingChapter {
  bool open = false;
  int64_t num = 1, den = 1000000000;  // ffmpeg's default time base is the nanosecond
  int64_t start = -1;
  std::string title;
};

void Finish(PendingChapter* chapter, ChapterSet* out) {
  if (chapter->open && chapter->start >= 0 && chapter->num > 0 && chapter->den > 0) {
    const long double ms = static_cast<long double>(chapter->start) * chapter->num * 1000 / chapter->den;
    if (ms <= static_cast<long double>(kMaxChapterMs)) AddChapter(out, static_cast<int64_t>(ms + 0.5L), chapter->title);
  }
  *chapter = PendingChapter();
}

bool ParseInteger(std::string_view text, int64_t* value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  size_t pos = 0;
  return !text.empty() && Digits(text, &pos, 1, 15, value) && pos == text.size();
}

bool ParseFfmetadata(std::string_view text, ChapterSet* out) {
  size_t pos = 0;
  if (NextLine(text, &pos) != ";FFMETADATA1") return false;
  bool global = true;
  PendingChapter chapter;
  std::string key, value;
  while (pos < text.size() && !ChaptersFull(*out)) {
    const char first = text[pos];
    if (first == ';' || first == '#') {
      NextLine(text, &pos);
      continue;
    }
    if (first == '[') {
      const std::string_view line = NextLine(text, &pos);
      Finish(&chapter, out);
      global = false;
      chapter.open = line.substr(0, 9) == "[CHAPTER]";
      continue;
    }
    bool hasValue = false;
    NextEntry(text, &pos, &key, &value, &hasValue);
    if (!hasValue) continue;
    if (global) {
      if (EqualsNoCase(key, "album")) out->album = CleanName(value);
      if (EqualsNoCase(key, "artist")) out->artist = CleanName(value);
    } else if (chapter.open) {
      if (EqualsNoCase(key, "TIMEBASE")) {
        const size_t slash = value.find('/');
        if (slash == std::string::npos || !ParseInteger(std::string_view(value).substr(0, slash), &chapter.num) ||
            !ParseInteger(std::string_view(value).substr(slash + 1), &chapter.den))
          chapter.num = chapter.den = 0;  // the chapter can't be placed
      } else if (EqualsNoCase(key, "START")) {
        if (!ParseInteger(value, &chapter.start)) chapter.start = -1;
      } else if (EqualsNoCase(key, "title")) {
        chapter.title = value;
      }
    }
  }
  Finish(&chapter, out);
  return !out->Empty();
}

}  // namespace

std::string ChapterFileText(std::string_view bytes) { return DecodeCueSheet(bytes, nullptr); }

size_t SeparatorDashLength(std::string_view text) {
  for (const std::string_view dash : {std::string_view("-"), std::string_view("\xE2\x80\x93")}) {
    if (text.substr(0, dash.size()) == dash && (text.size() == dash.size() || IsBlank(text[dash.size()])))
      return dash.size();
  }
  return 0;
}

bool ParsePlainTextTime(std::string_view text, int64_t* ms, size_t* titleAt) {
  int64_t fields[3] = {};
  size_t count = 0;
  size_t pos = 0;
  // The first field has one to five digits, the others exactly two.
  if (!Digits(text, &pos, 1, 5, &fields[count++])) return false;
  while (count < 3 && pos < text.size() && text[pos] == ':') {
    ++pos;
    if (!Digits(text, &pos, 2, 2, &fields[count]) || fields[count] > 59) return false;
    ++count;
  }
  if (count < 2) return false;
  int64_t fraction = 0;
  if (pos + 1 < text.size() && (text[pos] == '.' || text[pos] == ',') && IsDigit(text[pos + 1])) {
    ++pos;
    const size_t from = pos;
    if (!Digits(text, &pos, 1, 3, &fraction)) return false;
    for (size_t digits = pos - from; digits < 3; ++digits) fraction *= 10;
  }
  if (pos < text.size() && !IsBlank(text[pos])) return false;
  const int64_t seconds = count == 3 ? fields[0] * 3600 + fields[1] * 60 + fields[2] : fields[0] * 60 + fields[1];
  // In MM:SS the minutes may run past 59; in H:MM:SS the minutes may not.
  *ms = seconds * 1000 + fraction;
  *titleAt = pos;
  return true;
}

bool ParseChapterFile(ChapterFileForm form, std::string_view bytes, ChapterSet* out) {
  *out = ChapterSet();
  if (bytes.size() > kMaxChapterFileBytes) return false;
  const std::string text = ChapterFileText(bytes);
  ChapterSet found;
  bool ok = false;
  switch (form) {
    case ChapterFileForm::kPlainText:
      ok = ParsePlainText(text, &found);
      break;
    case ChapterFileForm::kFfmetadata:
      ok = ParseFfmetadata(text, &found);
      break;
    case ChapterFileForm::kPodcastJson:
      ok = ParsePodcastChapters(text, &found);
      break;
  }
  if (!ok || found.Empty()) return false;
  *out = std::move(found);
  return true;
}

}  // namespace tarnix
