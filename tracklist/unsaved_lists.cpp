#include "tracklist/unsaved_lists.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "tracklist/line_reader.h"
#include "tracklist/platform.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"
#include "tracklist/utf8_text.h"
#include "tracklist/whole_file.h"

namespace tarnix {

namespace {

constexpr char kRecoverySuffix[] = ".unsaved";
// Far beyond any list the plug-in writes; a larger file is no kept edit of it.
constexpr uint64_t kMaxRecoveryBytes = uint64_t{64} << 20;

// The record's tags have the width of a list's own header tags.
constexpr std::string_view kListTag = "[List  ] ";
constexpr std::string_view kWasTag = "[Was   ] ";
constexpr std::string_view kUnseen = "unseen";
constexpr std::string_view kAbsent = "none";
constexpr std::string_view kNotHashed = "-";
constexpr std::string_view kMark(trackfile::kUtf8Mark, 3);

uint64_t HashOf(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

std::optional<platform::ListedFile> Listed(const TextString& path) {
  std::optional<platform::ListedFile> listed;
  platform::EnumerateListedFiles(path, [&](const platform::ListedFile& file) {
    listed = file;
    return false;
  });
  return listed;
}

// The path on one line: its control bytes, the bytes above 0x7E and the escape itself as %XX.
std::string EscapedPath(const TextString& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < path.Length(); ++i) {
    const auto byte = static_cast<unsigned char>(path.c_str()[i]);
    if (byte < 0x20 || byte > 0x7E || byte == '%') {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A path the record can name: whole escapes, no NUL, UTF-8 like every text inside.
bool UnescapePath(std::string_view text, TextString* path) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexDigit(text[i + 1]);
    const int low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  if (out.empty() || out.find('\0') != std::string::npos || !IsValidUtf8(out)) return false;
  *path = TextString(static_cast<int>(out.size()), out.data());
  return true;
}

template <typename Number>
bool ReadNumber(std::string_view text, int base, Number* value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value, base);
  return error == std::errc() && end == text.data() + text.size();
}

std::string FormatState(const ListFileState& state) {
  switch (state.kind) {
    case ListFileState::Kind::kUnseen:
      return std::string(kUnseen);
    case ListFileState::Kind::kAbsent:
      return std::string(kAbsent);
    case ListFileState::Kind::kPresent:
      break;
  }
  std::string out = std::to_string(state.size) + " " + std::to_string(state.writeTime) + " ";
  if (!state.hashed) return out + std::string(kNotHashed);
  char hex[17];
  for (int i = 0; i < 16; ++i) hex[i] = "0123456789abcdef"[(state.hash >> (60 - 4 * i)) & 15];
  return out + std::string(hex, 16);
}

bool ParseState(std::string_view text, ListFileState* state) {
  *state = ListFileState();
  if (text == kUnseen) return true;
  state->kind = ListFileState::Kind::kAbsent;
  if (text == kAbsent) return true;
  state->kind = ListFileState::Kind::kPresent;
  const size_t first = text.find(' ');
  const size_t second = first == std::string_view::npos ? first : text.find(' ', first + 1);
  if (second == std::string_view::npos) return false;
  const std::string_view hash = text.substr(second + 1);
  if (!ReadNumber(text.substr(0, first), 10, &state->size) || state->size < 0 ||
      !ReadNumber(text.substr(first + 1, second - first - 1), 10, &state->writeTime))
    return false;
  if (hash == kNotHashed) return true;
  state->hashed = true;
  return hash.size() <= 16 && ReadNumber(hash, 16, &state->hash);
}

// The next line of `text` from `*at` without its line break (LF, or CR LF); false at the end.
bool NextLine(std::string_view text, size_t* at, std::string_view* line) {
  if (*at >= text.size()) return false;
  const size_t end = text.find('\n', *at);
  if (end == std::string_view::npos) return false;  // the record is always followed by the list
  *line = text.substr(*at, end - *at);
  if (!line->empty() && line->back() == '\r') line->remove_suffix(1);
  *at = end + 1;
  return true;
}

// The lines of `bytes` as LineReader hands them out of a file: a Ctrl-Z byte with only blanks
// behind it ends the bytes, a NUL byte ends its line, trailing CR and LF are stripped, a last line needs no break.
bool ReadLines(std::string_view bytes, trackfile::Reader& reader) {
  const unsigned codePage = platform::AnsiCodePage();
  reader.SetEncoding(false, codePage);
  bytes = bytes.substr(0, LengthOfLines(bytes));
  try {
    std::string line;
    for (size_t at = 0; at < bytes.size();) {
      const size_t end = std::min(bytes.find('\n', at), bytes.size());
      const bool first = at == 0;
      line.assign(bytes.substr(at, end - at));
      at = end + 1;
      line.resize(std::strlen(line.c_str()));
      while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
      const char* text = line.c_str();
      int length = static_cast<int>(line.size());
      if (first && line.compare(0, kMark.size(), kMark) == 0) {
        reader.SetEncoding(true, codePage);
        text += kMark.size();
        length -= static_cast<int>(kMark.size());
      }
      reader.Line(text, length);
    }
  } catch (const TextException&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;  // a line longer than memory holds: not a list this plug-in wrote
  }
  return true;
}

}  // namespace

TextString RecoveryPathFor(const TextString& listPath) { return listPath + kRecoverySuffix; }

bool ListFileState::operator==(const ListFileState& other) const {
  return kind == other.kind && size == other.size && writeTime == other.writeTime && hashed == other.hashed &&
         hash == other.hash;
}

ListFileState ListFileStateOf(const TextString& listPath) {
  ListFileState state;
  const std::optional<platform::ListedFile> listed = Listed(listPath);
  if (!listed) {
    const TextString directory = listPath.DirectoryPart();
    if (!directory.IsEmpty() && platform::PathExists(directory)) state.kind = ListFileState::Kind::kAbsent;
    return state;
  }
  state.kind = ListFileState::Kind::kPresent;
  state.size = listed->size;
  state.writeTime = listed->writeTime;
  // A list that another program holds may not be readable: its listing stands for it.
  std::string bytes;
  state.hashed = ReadWholeFile(listPath, kMaxRecoveryBytes, &bytes);
  if (state.hashed) state.hash = HashOf(bytes);
  return state;
}

bool ListUnchangedSince(const ListFileState& kept, const ListFileState& now) {
  using Kind = ListFileState::Kind;
  if (now.kind != Kind::kPresent || kept.kind == Kind::kUnseen) return true;
  if (kept.kind == Kind::kAbsent || kept.size != now.size) return false;
  if (kept.hashed && now.hashed) return kept.hash == now.hash;
  return kept.writeTime == now.writeTime;
}

std::string FormatRecoveryFile(const RecoveryFile& file) {
  const bool marked = file.bytes.compare(0, kMark.size(), kMark) == 0;
  std::string out = marked ? std::string(kMark) : std::string();
  out += std::string(kListTag) + EscapedPath(file.listPath) + "\r\n";
  out += std::string(kWasTag) + FormatState(file.was) + "\r\n";
  out.append(file.bytes, marked ? kMark.size() : 0, std::string::npos);
  return out;
}

bool ParseRecoveryFile(std::string_view text, RecoveryFile* out) {
  *out = RecoveryFile();
  const bool marked = text.substr(0, kMark.size()) == kMark;
  size_t at = marked ? kMark.size() : 0;
  if (text.substr(at, kListTag.size()) != kListTag) {
    out->bytes.assign(text);  // an earlier version's file: the list's bytes alone
    return true;
  }
  std::string_view listLine, wasLine;
  if (!NextLine(text, &at, &listLine) || !NextLine(text, &at, &wasLine)) return false;
  if (wasLine.substr(0, kWasTag.size()) != kWasTag) return false;
  if (!UnescapePath(listLine.substr(kListTag.size()), &out->listPath) ||
      !ParseState(wasLine.substr(kWasTag.size()), &out->was)) {
    *out = RecoveryFile();
    return false;
  }
  out->bytes = marked ? std::string(kMark) : std::string();
  out->bytes.append(text.substr(at));
  return true;
}

bool LoadListBytes(TrackList& list, std::string_view bytes, const TextString& title, int32_t cdKey, uint32_t cddbId,
                   bool alreadyMatched) {
  const TextString playing(title);  // the caller's title may be the list's own album
  trackfile::Reader reader(list, playing, cdKey, cddbId, alreadyMatched);
  return ReadLines(bytes, reader) && reader.Finish();
}

UnsavedLists::UnsavedLists(TextString fallbackDirectory) : fallbackDirectory_(std::move(fallbackDirectory)) {}

TextString UnsavedLists::WriteRecovery(const TextString& listPath, const std::string& bytes) const {
  const std::string file = FormatRecoveryFile({listPath, ListFileStateOf(listPath), bytes});
  const TextString beside = RecoveryPathFor(listPath);
  if (WriteReplacing(beside, file, 0).Ok()) return beside;
  if (fallbackDirectory_.IsEmpty()) return TextString();
  const TextString elsewhere = fallbackDirectory_ + "\\" + RecoveryPathFor(listPath.FileNamePart());
  return WriteReplacing(elsewhere, file, 0).Ok() ? elsewhere : TextString();
}

TextString UnsavedLists::Keep(const TextString& listPath, std::string bytes) {
  const TextString recovery = WriteRecovery(listPath, bytes);
  for (Kept& kept : kept_) {
    if (!kept.listPath.EqualsIgnoringCase(listPath)) continue;
    // The earlier edit's file stays until this one's is whole: a full disk loses neither.
    if (!recovery.IsEmpty()) {
      if (!kept.recoveryPath.IsEmpty() && !kept.recoveryPath.EqualsIgnoringCase(recovery))
        platform::RemoveFile(kept.recoveryPath);
      kept.recoveryPath = recovery;
    }
    kept.bytes = std::move(bytes);
    return recovery;
  }
  kept_.push_back({listPath, recovery, std::move(bytes)});
  return recovery;
}

int UnsavedLists::SaveWaiting() {
  int saved = 0;
  for (size_t i = 0; i < kept_.size();) {
    if (!WriteReplacing(kept_[i].listPath, kept_[i].bytes, 0).Ok()) {
      ++i;
      continue;
    }
    if (!kept_[i].recoveryPath.IsEmpty()) platform::RemoveFile(kept_[i].recoveryPath);
    kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(i));
    ++saved;
  }
  return saved;
}

void UnsavedLists::Forget(const TextString& listPath) {
  for (size_t i = 0; i < kept_.size(); ++i) {
    if (!kept_[i].listPath.EqualsIgnoringCase(listPath)) continue;
    if (!kept_[i].recoveryPath.IsEmpty()) platform::RemoveFile(kept_[i].recoveryPath);
    kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(i));
    return;
  }
}

int UnsavedLists::AdoptRecoveryFiles(const TextString& directory) {
  int adopted = AdoptFrom(directory, true);
  if (!fallbackDirectory_.IsEmpty() && !fallbackDirectory_.EqualsIgnoringCase(directory))
    adopted += AdoptFrom(fallbackDirectory_, false);
  return adopted;
}

int UnsavedLists::AdoptFrom(const TextString& directory, bool besideTheirLists) {
  std::vector<platform::ListedFile> found;
  platform::EnumerateListedFiles(directory + "\\*.trk" + kRecoverySuffix, [&](const platform::ListedFile& file) {
    found.push_back(file);
    return true;
  });
  int adopted = 0;
  for (const platform::ListedFile& listed : found) {
    const TextString recoveryPath = directory + "\\" + listed.name;
    std::string text;
    RecoveryFile file;
    if (!ReadWholeFile(recoveryPath, kMaxRecoveryBytes, &text) || !ParseRecoveryFile(text, &file)) continue;
    if (file.listPath.IsEmpty()) {
      // An earlier version's file names its list by its own name, beside it, and has only the
      // clock to go by: a list written in the same tick may hold the later edit.
      if (!besideTheirLists) continue;
      file.listPath = recoveryPath.Left(recoveryPath.Length() - (sizeof kRecoverySuffix - 1));
      const std::optional<platform::ListedFile> list = Listed(file.listPath);
      if (list && list->writeTime >= listed.writeTime) continue;
    } else if (!ListUnchangedSince(file.was, ListFileStateOf(file.listPath))) {
      continue;
    }
    // Never written over a list unless it reads as one.
    TrackList check;
    if (Holds(file.listPath) || !LoadListBytes(check, file.bytes, TextString(), 0, 0, true)) continue;
    kept_.push_back({file.listPath, recoveryPath, std::move(file.bytes)});
    ++adopted;
  }
  return adopted;
}

const UnsavedLists::Kept* UnsavedLists::Find(const TextString& listPath) const {
  for (const Kept& kept : kept_) {
    if (kept.listPath.EqualsIgnoringCase(listPath)) return &kept;
  }
  return nullptr;
}

bool UnsavedLists::Holds(const TextString& listPath) const { return Find(listPath) != nullptr; }

bool UnsavedLists::LoadKept(TrackList& list, const TextString& listPath, const TextString& title, int32_t cdKey,
                            uint32_t cddbId, bool alreadyMatched) const {
  const Kept* kept = Find(listPath);
  if (!kept) return false;
  // The caller's strings may be this list's own fields: keep copies while the list changes.
  const TextString path(listPath);
  const TextString playing(title);
  trackfile::Reader reader(list, playing, cdKey, cddbId, alreadyMatched);
  if (!ReadLines(kept->bytes, reader)) return false;
  list.path = path;
  return reader.Finish();
}

}  // namespace tarnix
