#include "listening/resume_store_file.h"

#include <algorithm>

namespace tarnix::listening {

void ResumeStoreFile::SetPaths(const TextString& path, const TextString& earlierPath) {
  path_ = path;
  earlierPath_ = earlierPath;
}

bool ResumeStoreFile::EnsureRead() {
  if (read_) return true;
  if (path_.IsEmpty()) return false;
  StoreRead result = store_.Load(path_);
  if (result == StoreRead::kMissing && !earlierPath_.IsEmpty() && !earlierPath_.EqualsIgnoringCase(path_)) {
    result = store_.Load(earlierPath_);
    // Carried over: written to `path` at the next change.
    if (result == StoreRead::kDamaged) result = StoreRead::kMissing;
  }
  if (result == StoreRead::kUnreadable) return false;
  read_ = true;
  // A damaged file is replaced at the next write, like a missing one.
  for (const Change& change : waiting_) Apply(change);
  waiting_.clear();
  return true;
}

int32_t ResumeStoreFile::Find(const TextString& path) const {
  for (auto it = waiting_.rbegin(); it != waiting_.rend(); ++it) {
    if (it->path == path) return it->ms;
  }
  return store_.Find(path);
}

void ResumeStoreFile::Apply(const Change& change) {
  changed_ |= change.ms < 0 ? store_.Forget(change.path) : store_.Remember(change.path, change.ms);
}

void ResumeStoreFile::Wait(const Change& change) {
  // A newer change of a path replaces its older one, so the bound counts recordings, not
  // changes: a recording remembered every minute, or forgotten at every look in its last
  // minute, must not push the other recordings' places out while the file cannot be read.
  waiting_.erase(std::remove_if(waiting_.begin(), waiting_.end(),
                                [&](const Change& waiting) { return waiting.path == change.path; }),
                 waiting_.end());
  if (waiting_.size() >= ResumeStore::kMaxEntries) waiting_.erase(waiting_.begin());
  waiting_.push_back(change);
}

void ResumeStoreFile::Remember(const TextString& path, int32_t ms) {
  if (ms < 0) return;
  if (read_) return Apply({path, ms});
  Wait({path, ms});
}

void ResumeStoreFile::Forget(const TextString& path) {
  if (read_) return Apply({path, -1});
  Wait({path, -1});
}

bool ResumeStoreFile::WriteIfChanged() {
  if (waiting_.empty() && !changed_) return true;
  if (!EnsureRead()) return false;
  if (!changed_) return true;
  if (!store_.Save(path_)) return false;
  changed_ = false;
  return true;
}

}  // namespace tarnix::listening
