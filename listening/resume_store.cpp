#include "listening/resume_store.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "tracklist/atomic_write.h"
#include "tracklist/file_errors.h"
#include "tracklist/platform.h"
#include "tracklist/replacing_write.h"

namespace tarnix::listening {

namespace {

constexpr std::string_view kFirstLine = "Tarnix resume positions 1";
// 1,000 entries of the longest paths the player hands out stay well below this.
constexpr int64_t kMaxFileBytes = 40 * 1024 * 1024;

bool HoldsLineBreak(const TextString& text) {
  return std::memchr(text.c_str(), '\n', static_cast<size_t>(text.Length())) != nullptr ||
         std::memchr(text.c_str(), '\r', static_cast<size_t>(text.Length())) != nullptr;
}

// "<digits> <path>" with a position that fits 31 bits and a path of at least one byte, none NUL.
bool ParseLine(std::string_view line, int32_t* ms, std::string_view* path) {
  size_t i = 0;
  int64_t value = 0;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
    value = value * 10 + (line[i] - '0');
    if (value > INT32_MAX) return false;
    ++i;
  }
  if (i == 0 || i > 10 || i + 1 >= line.size() || line[i] != ' ') return false;
  *ms = static_cast<int32_t>(value);
  *path = line.substr(i + 1);
  // No path holds a NUL: the text would end there, and be written back shorter than it was read.
  return path->find('\0') == std::string_view::npos;
}

// Opens `path` for reading, waiting out a hold as the writers do; `read` tells why it is null.
std::FILE* OpenHeld(const TextString& path, StoreRead* read) {
  if (!platform::FileExists(path)) {
    // Something else in its place (a folder) is no file to read, nor a missing one.
    *read = platform::PathExists(path) ? StoreRead::kUnreadable : StoreRead::kMissing;
    return nullptr;
  }
  FileErrorCode error;
  std::FILE* const file = OpenForReadingAfterHold(path, &error);
  if (!file) *read = error.kind == FileError::kPathNotFound ? StoreRead::kMissing : StoreRead::kUnreadable;
  return file;
}

}  // namespace

int32_t ResumeStore::Find(const TextString& path) const {
  for (const Entry& entry : entries_) {
    if (entry.path.Length() == path.Length() &&
        std::memcmp(entry.path.c_str(), path.c_str(), static_cast<size_t>(path.Length())) == 0) {
      return entry.ms;
    }
  }
  return -1;
}

bool ResumeStore::Remember(const TextString& path, int32_t ms) {
  if (path.IsEmpty() || HoldsLineBreak(path) || ms < 0) return false;
  Forget(path);
  entries_.insert(entries_.begin(), Entry{path, ms});
  if (entries_.size() > kMaxEntries) entries_.resize(kMaxEntries);
  return true;
}

bool ResumeStore::Forget(const TextString& path) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->path.Length() == path.Length() &&
        std::memcmp(it->path.c_str(), path.c_str(), static_cast<size_t>(path.Length())) == 0) {
      entries_.erase(it);
      return true;
    }
  }
  return false;
}

bool ResumeStore::Parse(std::string_view bytes) {
  entries_.clear();
  std::vector<Entry> read;
  bool first = true;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      if (line != kFirstLine) return false;
      first = false;
      continue;
    }
    int32_t ms = 0;
    std::string_view path;
    if (!ParseLine(line, &ms, &path) || read.size() >= kMaxEntries) return false;
    read.push_back(Entry{TextString(static_cast<int>(path.size()), path.data()), ms});
  }
  if (first) return false;
  entries_ = std::move(read);
  return true;
}

std::string ResumeStore::Format() const {
  std::string out(kFirstLine);
  out += "\r\n";
  for (const Entry& entry : entries_) {
    out += std::to_string(entry.ms);
    out += ' ';
    out.append(entry.path.c_str(), static_cast<size_t>(entry.path.Length()));
    out += "\r\n";
  }
  return out;
}

StoreRead ResumeStore::Load(const TextString& path) {
  entries_.clear();
  StoreRead read = StoreRead::kUnreadable;
  std::FILE* const opened = OpenHeld(path, &read);
  if (!opened) return read;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(opened, std::fclose);
  const int64_t size = platform::FileSizeOf(file.get());
  if (size < 0 || !platform::SeekFile(file.get(), 0)) return StoreRead::kUnreadable;
  if (size == 0 || size > kMaxFileBytes) return StoreRead::kDamaged;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return StoreRead::kUnreadable;
  return Parse(bytes) ? StoreRead::kRead : StoreRead::kDamaged;
}

bool ResumeStore::Save(const TextString& path) const { return WriteFileReplacing(path, Format()); }

}  // namespace tarnix::listening
