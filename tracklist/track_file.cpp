#include "tracklist/track_file.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tracklist/atomic_write.h"
#include "tracklist/content_identity.h"
#include "tracklist/line_reader.h"
#include "tracklist/msf.h"
#include "tracklist/platform.h"
#include "tracklist/track_list.h"
#include "tracklist/utf8_text.h"

namespace tarnix {

namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int Fold(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? u - 'A' + 'a' : u;
}

// Tags, the mode and titles are matched as TextString::EqualsIgnoringCase matches, on the
// line's bytes in place.
bool EqualNoCase(const char* a, int a_len, const char* b, int b_len) {
  if (a_len != b_len) return false;
  for (int i = 0; i < a_len; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

constexpr int64_t kNumberCap = int64_t{1} << 40;  // far beyond any meaningful value, no overflow

// A signed decimal the way the C library reads one: blanks, a sign, digits. Returns false
// when no digit follows; the value saturates at +/- kNumberCap.
bool ReadDecimal(const char*& p, int64_t* value) {
  const char* q = p;
  while (IsBlank(*q)) ++q;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = *q++ == '-';
  if (!IsDigit(*q)) return false;
  int64_t v = 0;
  while (IsDigit(*q)) {
    if (v < kNumberCap) v = v * 10 + (*q - '0');
    ++q;
  }
  if (v > kNumberCap) v = kNumberCap;
  *value = negative ? -v : v;
  p = q;
  return true;
}

// "%x": blanks, a sign, an optional 0x, hexadecimal digits. False when no digit follows.
bool ReadHex(const char* p, uint32_t* value) {
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  auto digit = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digit(p[2]) >= 0) p += 2;
  if (digit(*p) < 0) return false;
  uint64_t v = 0;
  for (; digit(*p) >= 0; ++p) {
    v = v * 16 + static_cast<uint64_t>(digit(*p));
    if (v > 0xFFFFFFFFu) v = 0xFFFFFFFFu + uint64_t{1};  // saturates below
  }
  uint32_t r = v > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
  if (negative) r = 0u - r;
  *value = r;
  return true;
}

constexpr int kTagLength = 9;
// "[File  ]" names the recording the list was made for (content identity, then its path); a
// reader that does not know it ignores it, as every unknown header line.
const char* const kTags[] = {"[CD key] ", "[CDDBID] ", "[Album ] ", "[Artist] ", "[Mode  ] ", "[File  ] "};
enum TagIndex { kCdKey, kCddbId, kAlbum, kArtist, kMode, kFile, kNoTag };

// A tag with an empty value may have lost its trailing blank ("[Album ]"): editors set to trim
// blanks at line ends do that, and the file is still the list it was.
TagIndex MatchTag(const char* line, int length) {
  if (length < kTagLength - 1) return kNoTag;
  const int compared = length < kTagLength ? kTagLength - 1 : kTagLength;
  for (int i = 0; i < kNoTag; ++i) {
    if (EqualNoCase(line, compared, kTags[i], compared)) return static_cast<TagIndex>(i);
  }
  return kNoTag;
}

// Control characters in a name: a line break would split its line in two, a Ctrl-Z ends the file
// for text-mode readers, a NUL ends the line. Names get them from players' titles and tags.
bool IsControl(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

// A name as its line holds it: control characters become blanks. The bytes of a longer
// character, UTF-8 or a code page's, are never below 0x20 nor 0x7F.
void AppendOneLine(std::string* out, const char* text, int length) {
  const size_t at = out->size();
  out->append(text, static_cast<size_t>(length));
  for (size_t i = at; i < out->size(); ++i) {
    if (IsControl((*out)[i])) (*out)[i] = ' ';
  }
}

// A playing title against a name read from a list, as EqualNoCase compares, with a control
// character on either side taken as the blank the writer put in its place: a title that holds
// one still finds the list saved for it.
bool SameTitle(const char* a, int a_len, const char* b, int b_len) {
  if (a_len != b_len) return false;
  for (int i = 0; i < a_len; ++i) {
    const int x = IsControl(a[i]) ? ' ' : Fold(a[i]);
    const int y = IsControl(b[i]) ? ' ' : Fold(b[i]);
    if (x != y) return false;
  }
  return true;
}

// Finds `width` characters that ParseMsf reads as exactly `target` ms, for times the two-digit
// columns cannot hold. With `nondigit_first` the text must not begin with a digit (a three-digit
// track number before it would swallow it).
bool FindMsfSpelling(int64_t target, int width, bool nondigit_first, std::string* out) {
  const int64_t base = target / 60000;
  for (int64_t a = base; a >= base - 1 && a >= 0; --a) {
    for (int64_t b = 0; b <= 999; ++b) {
      const int64_t rest = target - a * 60000 - b * 1000;
      if (rest < 0) break;
      // (c x 1000 + 37) / 75 == rest: c lies within one of 75 x rest / 1000.
      const int64_t guess = (rest * 75) / 1000;
      for (int64_t c = guess - 1 > 0 ? guess - 1 : 0; c <= guess + 1; ++c) {
        if ((c * 1000 + 37) / 75 != rest) continue;
        std::string sa = std::to_string(a), sb = std::to_string(b), sc = std::to_string(c);
        const int64_t used = static_cast<int64_t>(sa.size() + sb.size() + sc.size() + 2);
        const int64_t room = width - used - (nondigit_first ? 1 : 0);
        if (room < 0) continue;
        int64_t spare = room;
        if (spare > 0 && sc.size() < 2) sc.insert(0, "0"), --spare;
        if (spare > 0 && sb.size() < 2) sb.insert(0, "0"), --spare;
        const int64_t blanks = spare + (nondigit_first ? 1 : 0);
        *out = std::string(static_cast<size_t>(blanks), ' ') + sa + ":" + sb + ":" + sc;
        return true;
      }
    }
  }
  return false;
}

}  // namespace

int32_t ParseMsf(const char* text) {
  if (!text) return -1;
  const char* p = text;
  int64_t v[3];
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (*p != ':') return -1;
      ++p;
    }
    if (!ReadDecimal(p, &v[i])) return -1;
  }
  const int64_t t = TimeFromMsf64(v[0], v[1], v[2]);
  if (t < 0 || t > INT32_MAX) return -1;
  return static_cast<int32_t>(t);
}

namespace trackfile {

int32_t LeadingNumber(const char* text) {
  int64_t v = 0;
  if (!text || !ReadDecimal(text, &v)) return 0;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

namespace {

bool FormatEntryBytes(int32_t number, int32_t time, bool start, const char* name, int nameLength, std::string* out) {
  if (number < 1 || number > kMaxTrackNumber || time < 0) return false;
  if (nameLength <= 0) name = "Unknown", nameLength = 7;
  const char* const shown = name;
  const Msf msf = MsfFromTime(time);
  const char marker = start ? '*' : ' ';
  char head[64];
  if (number <= 99 && msf.minutes <= 99) {
    // "NN:MM:SS:FF" and the marker; every field has two digits here.
    const int32_t fields[4] = {number, msf.minutes, msf.seconds, msf.frames};
    for (int i = 0; i < 4; ++i) {
      head[3 * i] = static_cast<char>('0' + fields[i] / 10);
      head[3 * i + 1] = static_cast<char>('0' + fields[i] % 10);
      head[3 * i + 2] = ':';
    }
    head[11] = marker;
    out->assign(head, 12);
    AppendOneLine(out, shown, nameLength);
    return true;
  }
  // The standard line would read back as this time; another spelling must read the same.
  const int64_t target = TimeFromMsf64(msf.minutes, msf.seconds, msf.frames);
  std::snprintf(head, sizeof head, number <= 99 ? "%02d:" : "%03d", static_cast<int>(number));
  const bool nondigit_first = number > 99;
  std::string msf_text;
  if (FindMsfSpelling(target, 8, nondigit_first, &msf_text)) {
    *out = head + msf_text + marker;
  } else if (!start && !IsDigit(shown[0]) && FindMsfSpelling(target, 9, nondigit_first, &msf_text)) {
    // A subtrack line's marker column only has to be something other than "*": the frames may
    // run into it as long as the name that follows cannot be read as more digits.
    *out = head + msf_text;
  } else {
    return false;
  }
  AppendOneLine(out, shown, nameLength);
  // Check with the reader's own rules, so a spelling that would read back otherwise is refused.
  const char* line = out->c_str();
  return out->size() >= 13 && LeadingNumber(line) == number && (line[11] == '*') == start &&
         ParseMsf(line + 3) == target;
}

// The bytes a text is written as: in a code page that must hold it exactly, or in UTF-8 as
// it is.
class TextEncoder {
 public:
  TextEncoder(bool utf8, unsigned codePage) : utf8_(utf8), code_page_(codePage) {}

  // False when the code page cannot hold `text`.
  bool Encode(const TextString& text, const char** bytes, int* length) {
    const std::string_view view(text.c_str(), static_cast<size_t>(text.Length()));
    if (utf8_ || IsAscii(view)) {
      *bytes = text.c_str();
      *length = text.Length();
      return true;
    }
    if (!platform::ExactCodePageFromUtf8(code_page_, view, &scratch_)) return false;
    *bytes = scratch_.c_str();
    *length = static_cast<int>(scratch_.size());
    return true;
  }

 private:
  const bool utf8_;
  const unsigned code_page_;
  std::string scratch_;
};

enum class Written { kDone, kNotHeld, kUnwritable };

Written FormatWith(const TrackList& list, TextEncoder& encoder, std::string* out) {
  char buffer[64];
  if (list.cdKey != 0) {
    std::snprintf(buffer, sizeof buffer, "[CD key] %d\r\n", static_cast<int>(list.cdKey));
    out->append(buffer);
  }
  if (list.cddbId != 0) {
    std::snprintf(buffer, sizeof buffer, "[CDDBID] %08X\r\n", static_cast<unsigned>(list.cddbId));
    out->append(buffer);
  }
  const char* bytes;
  int length;
  if (!encoder.Encode(list.album, &bytes, &length)) return Written::kNotHeld;
  out->append("[Album ] ");
  AppendOneLine(out, bytes, length);
  if (!encoder.Encode(list.artist, &bytes, &length)) return Written::kNotHeld;
  out->append("\r\n[Artist] ");
  AppendOneLine(out, bytes, length);
  out->append("\r\n");
  if (list.subsongs) out->append("[Mode  ] SubSongs\r\n");
  if (!list.recording.identity.IsEmpty()) {
    if (!encoder.Encode(list.recording.path, &bytes, &length)) return Written::kNotHeld;
    out->append(kTags[kFile]);
    out->append(FormatContentIdentity(list.recording.identity));
    if (length > 0) {
      out->push_back(' ');
      AppendOneLine(out, bytes, length);
    }
    out->append("\r\n");
  }
  skipmarks::AppendLines(list, out);
  std::string line;
  for (const Track& track : list.tracks) {
    for (size_t i = 0; i < track.subtracks.size(); ++i) {
      const Subtrack& entry = track.subtracks[i];
      if (!encoder.Encode(entry.name, &bytes, &length)) return Written::kNotHeld;
      if (!FormatEntryBytes(track.number, entry.time, i == 0, bytes, length, &line)) return Written::kUnwritable;
      out->append(line);
      out->append("\r\n");
    }
  }
  return Written::kDone;
}

}  // namespace

bool FormatEntry(int32_t number, int32_t time, bool start, const TextString& name, std::string* out) {
  return FormatEntryBytes(number, time, start, name.c_str(), name.Length(), out);
}

bool FormatFile(const TrackList& list, std::string* out, unsigned codePage) {
  out->clear();
  TextEncoder inCodePage(false, codePage);
  const Written written = FormatWith(list, inCodePage, out);
  if (written != Written::kNotHeld) return written == Written::kDone;
  *out = kUtf8Mark;
  TextEncoder inUtf8(true, codePage);
  return FormatWith(list, inUtf8, out) == Written::kDone;
}

bool FormatFile(const TrackList& list, std::string* out) { return FormatFile(list, out, platform::AnsiCodePage()); }

Reader::Reader(TrackList& list, const TextString& title, int32_t cdKey, uint32_t cddbId, bool alreadyMatched)
    : list_(list),
      title_(title),
      cd_key_(cdKey),
      cddb_id_(cddbId),
      already_matched_(alreadyMatched),
      matched_(alreadyMatched),
      code_page_(platform::AnsiCodePage()) {
  list_.tracks.clear();
  list_.modified = false;
  list_.subsongs = false;
  list_.currentTrack = 0;
  list_.cdKey = 0;
  list_.cddbId = 0;
  list_.recording = Recording();
}

void Reader::SetEncoding(bool utf8, unsigned codePage) {
  utf8_ = utf8;
  code_page_ = codePage;
}

TextString Reader::Text(const char* bytes, int length) const {
  const std::string_view view(bytes, static_cast<size_t>(length));
  if (IsAscii(view) || (utf8_ && IsValidUtf8(view))) return TextString(length, bytes);
  std::string text;
  if (!utf8_) {
    text = platform::Utf8FromCodePage(code_page_, view);
  } else {
    // Someone edited a UTF-8 list with a tool that wrote in the code page: each stray byte is
    // taken as the code page's character rather than dropped or made "?".
    text.reserve(view.size() * 2);
    for (size_t at = 0; at < view.size();) {
      const size_t n = Utf8SequenceLength(view, at);
      if (n > 0) {
        text.append(view, at, n);
        at += n;
      } else {
        text += platform::Utf8FromCodePage(code_page_, view.substr(at, 1));
        ++at;
      }
    }
  }
  return TextString(static_cast<int>(text.size()), text.c_str());
}

void Reader::Line(const char* line, int length) {
  if (in_header_ && length > 0 && line[0] == '[') {
    HeaderLine(line, length);
    return;
  }
  if (in_header_) {
    in_header_ = false;
    if (name_lines_ < 2) throw TextException("Invalid file");
  }
  EntryLine(line, length);
}

void Reader::HeaderLine(const char* line, int length) {
  // A tag without its blank has an empty value: the line's terminating NUL.
  const int value_length = length < kTagLength ? 0 : length - kTagLength;
  const char* value = line + (length - value_length);
  switch (MatchTag(line, length)) {
    case kCdKey: {
      int64_t v = 0;
      const char* p = value;
      if (!ReadDecimal(p, &v)) v = 0;
      // Serial numbers are 32-bit: an unsigned spelling wraps to the signed value saved.
      if (v >= INT32_MIN && v <= int64_t{UINT32_MAX}) {
        list_.cdKey = static_cast<int32_t>(static_cast<uint32_t>(v));
      } else {
        list_.cdKey = v < 0 ? INT32_MIN : INT32_MAX;
      }
      break;
    }
    case kCddbId: {
      uint32_t v;
      if (ReadHex(value, &v)) list_.cddbId = v;
      break;
    }
    case kAlbum:
      list_.album = Text(value, value_length);
      saw_album_ = true;
      ++name_lines_;
      break;
    case kArtist:
      list_.artist = Text(value, value_length);
      saw_artist_ = true;
      ++name_lines_;
      break;
    case kMode:
      list_.subsongs = EqualNoCase(value, value_length, "subsongs", 8);
      break;
    case kFile:
      RecordingLine(value, value_length);
      break;
    case kNoTag:
      marks_.TakeLine(line, length);
      break;
  }
}

void Reader::RecordingLine(const char* value, int length) {
  // "<size> <hash>", then " <path>" or nothing. A line that is not so is ignored, as an earlier
  // reader ignores it: the list itself is still good.
  const std::string_view text(value, static_cast<size_t>(length));
  const size_t first = text.find(' ');
  const size_t second = first == std::string_view::npos ? first : text.find(' ', first + 1);
  Recording recording;
  if (!ParseContentIdentity(text.substr(0, second), &recording.identity)) return;
  if (second != std::string_view::npos) {
    recording.path = Text(value + second + 1, length - static_cast<int>(second) - 1);
  }
  list_.recording = std::move(recording);
}

void Reader::CheckIdentity() {
  if (cddb_id_ != 0 && list_.cddbId != 0) {
    if (cddb_id_ != list_.cddbId) throw TextException("CD identity mismatch");
    matched_ = true;
  }
  if (!matched_ && cd_key_ != 0 && list_.cdKey != 0) {
    if (cd_key_ != list_.cdKey) throw TextException("CD identity mismatch");
    matched_ = true;
  }
}

void Reader::EntryLine(const char* line, int length) {
  if (!matched_) CheckIdentity();
  const int32_t track_number = LeadingNumber(line);
  if (track_number < 1) throw TextException("Invalid file");
  if (length < 13) return;
  const bool start = line[11] == '*';
  if (!start && list_.tracks.empty()) return;
  // Checked before a start line opens its track, so a rejected file never leaves a track
  // without subtracks behind.
  const int32_t time = ParseMsf(line + 3);
  if (time < 0) throw TextException("Invalid file");
  if (start) list_.tracks.emplace_back(&list_, track_number);
  Subtrack entry;
  entry.name = Text(line + 12, length - 12);
  entry.time = time;
  Track& track = list_.tracks.back();
  std::vector<Subtrack>& subtracks = track.subtracks;
  subtracks.push_back(std::move(entry));
  if (!marks_.Empty()) subtracks.back().skip = marks_.Claim(track.number, time, places_.Next(track.number, time));
  if (!already_matched_ && start && !title_.IsEmpty()) {
    const TextString& name = subtracks.back().name;
    const int n = name.Length();
    const int title_length = title_.Length();
    const int tail = n < title_length ? n : title_length;
    if (SameTitle(title_.c_str() + title_length - tail, tail, name.c_str(), n)) {
      matched_ = true;
      list_.SetCurrentTrack(track_number);
    }
  }
}

namespace {

// Makes the line reader inside the guard: its buffer may not be had either.
template <typename Source>
bool ReadAllFrom(const Source& source, Reader& reader, unsigned codePage) {
  reader.SetEncoding(false, codePage);
  try {
    LineReader lines(source);
    const char* line;
    int length;
    if (!lines.Next(&line, &length)) return true;
    if (length >= 3 && std::memcmp(line, kUtf8Mark, 3) == 0) {
      reader.SetEncoding(true, codePage);
      line += 3;
      length -= 3;
    }
    do {
      reader.Line(line, length);
    } while (lines.Next(&line, &length));
  } catch (const TextException&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;  // a line longer than memory holds: not a list this plug-in wrote
  } catch (const LineReader::ReadFailure&) {
    return false;
  }
  return true;
}

}  // namespace

bool ReadAll(std::FILE* file, Reader& reader, unsigned codePage) { return ReadAllFrom(file, reader, codePage); }

bool ReadAll(std::FILE* file, Reader& reader) { return ReadAll(file, reader, platform::AnsiCodePage()); }

bool ReadAll(std::string_view bytes, Reader& reader) { return ReadAllFrom(bytes, reader, platform::AnsiCodePage()); }

bool Reader::Finish() const {
  if (matched_) return true;
  return SameTitle(title_.c_str(), title_.Length(), list_.album.c_str(), list_.album.Length());
}

}  // namespace trackfile

bool TrackList::Load(const TextString& filePath, const TextString& title, int32_t cdKeyArg, uint32_t cddbIdArg,
                     bool alreadyMatched) {
  // The caller's strings may be this list's own fields: keep copies while the list changes.
  const TextString file_path(filePath);
  const TextString playing(title);
  trackfile::Reader reader(*this, playing, cdKeyArg, cddbIdArg, alreadyMatched);
  // Binary mode: the reader strips CR and LF itself and ends the file at a Ctrl-Z byte with
  // only blanks behind it.
  platform::File file(file_path, "rb");
  if (!file) return false;
  if (!trackfile::ReadAll(file.get(), reader)) return false;
  path = file_path;
  return reader.Finish();
}

bool TrackList::Search(const TextString& pattern, const TextString& title, int32_t cdKeyArg, uint32_t cddbIdArg) {
  const TextString mask(pattern);
  const TextString playing(title);
  if (cdKeyArg == 0 && playing.IsEmpty()) return Load(mask, TextString(), 0, 0, false);
  const TextString directory = mask.DirectoryPart();
  bool found = false;
  platform::EnumerateFiles(mask, [&](const TextString& name) {
    TextString candidate(directory);
    candidate += "\\";
    candidate += name;
    found = Load(candidate, playing, cdKeyArg, cddbIdArg, false);
    return !found;
  });
  return found;
}

bool TrackList::Save(const TextString& newPath) {
  if (!newPath.IsEmpty()) path = newPath;
  if (path.IsEmpty()) return false;
  std::string bytes;
  if (!trackfile::FormatFile(*this, &bytes)) return false;
  // The old file stays until the new one is complete on disk.
  if (!WriteFileReplacing(path, bytes)) return false;
  modified = false;
  return true;
}

}  // namespace tarnix
