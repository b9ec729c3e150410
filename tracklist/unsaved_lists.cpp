#include "tracklist/unsaved_lists.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

#include "tracklist/ascii_escape.h"
#include "tracklist/platform.h"
#include "tracklist/track_file.h"
#include "tracklist/track_list.h"
#include "tracklist/whole_file.h"

namespace tarnix {

namespace {

constexpr char kRecoverySuffix[] = ".unsaved";
// Far beyond any list the plug-in writes; a larger file is no kept edit of it.
constexpr uint64_t kMaxRecoveryBytes = uint64_t{64} << 20;
// Lists of one name kept in the fallback directory at once; more are kept in memory only.
constexpr int kMaxNamesakes = 99;

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

// A path the record can name: a whole ASCII spelling of UTF-8 without NUL.
bool UnescapePath(std::string_view text, TextString* path) {
  std::string out;
  if (!UnescapeFromAscii(text, &out) || out.empty() || out.find('\0') != std::string::npos) return false;
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
  out += std::string(kListTag) +
         EscapeToAscii(std::string_view(file.listPath.c_str(), static_cast<size_t>(file.listPath.Length()))) + "\r\n";
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
  return trackfile::ReadAll(bytes, reader) && reader.Finish();
}

UnsavedLists::UnsavedLists(TextString fallbackDirectory) : fallbackDirectory_(std::move(fallbackDirectory)) {}

TextString UnsavedLists::WriteRecovery(const TextString& listPath, const std::string& bytes) const {
  const std::string file = FormatRecoveryFile({listPath, ListFileStateOf(listPath), bytes});
  const TextString beside = RecoveryPathFor(listPath);
  if (WriteReplacing(beside, file, 0).Ok()) return beside;
  const TextString elsewhere = FallbackRecoveryPath(listPath);
  return !elsewhere.IsEmpty() && WriteReplacing(elsewhere, file, 0).Ok() ? elsewhere : TextString();
}

TextString UnsavedLists::FallbackRecoveryPath(const TextString& listPath) const {
  if (fallbackDirectory_.IsEmpty()) return TextString();
  // Lists of one name from different directories meet here: each gets a file of its own
  // ("list (2).trk.unsaved"), so that keeping one never overwrites the other's edit. A file the
  // record does not tie to this list (another list's, an earlier version's) is left alone.
  const TextString name = listPath.FileNamePart();
  const int stem = name.Length() >= 4 && name.Right(4).EqualsIgnoringCase(".trk") ? name.Length() - 4 : name.Length();
  for (int n = 1; n <= kMaxNamesakes; ++n) {
    const TextString candidate =
        fallbackDirectory_ + "\\" +
        RecoveryPathFor(n == 1 ? name : name.Left(stem) + " (" + std::to_string(n).c_str() + ")" + name.Mid(stem));
    if (!platform::PathExists(candidate)) return candidate;
    std::string text;
    RecoveryFile kept;
    if (ReadWholeFile(candidate, kMaxRecoveryBytes, &text) && ParseRecoveryFile(text, &kept) &&
        kept.listPath.EqualsIgnoringCase(listPath))
      return candidate;
  }
  return TextString();
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
  if (!trackfile::ReadAll(kept->bytes, reader)) return false;
  list.path = path;
  return reader.Finish();
}

}  // namespace tarnix
