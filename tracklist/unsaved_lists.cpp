#include "tracklist/unsaved_lists.h"

#include <utility>

#include "tracklist/platform.h"
#include "tracklist/whole_file.h"

namespace tarnix {

namespace {

constexpr char kRecoverySuffix[] = ".unsaved";
// Far beyond any list the plug-in writes; a larger file is no kept edit of it.
constexpr uint64_t kMaxRecoveryBytes = uint64_t{64} << 20;

// The listed last-write time of `path`; -1 when there is no such file.
int64_t ListedWriteTime(const TextString& path) {
  int64_t time = -1;
  platform::EnumerateListedFiles(path, [&](const platform::ListedFile& file) {
    time = file.writeTime;
    return false;
  });
  return time;
}

}  // namespace

TextString RecoveryPathFor(const TextString& listPath) { return listPath + kRecoverySuffix; }

UnsavedLists::UnsavedLists(TextString fallbackDirectory) : fallbackDirectory_(std::move(fallbackDirectory)) {}

TextString UnsavedLists::WriteRecovery(const TextString& listPath, const std::string& bytes) const {
  const TextString beside = RecoveryPathFor(listPath);
  if (WriteReplacing(beside, bytes, 0).Ok()) return beside;
  if (fallbackDirectory_.IsEmpty()) return TextString();
  const TextString elsewhere = fallbackDirectory_ + "\\" + RecoveryPathFor(listPath.FileNamePart());
  return WriteReplacing(elsewhere, bytes, 0).Ok() ? elsewhere : TextString();
}

TextString UnsavedLists::Keep(const TextString& listPath, std::string bytes) {
  const TextString recovery = WriteRecovery(listPath, bytes);
  for (Kept& kept : kept_) {
    if (!kept.listPath.EqualsIgnoringCase(listPath)) continue;
    if (!kept.recoveryPath.EqualsIgnoringCase(recovery) && !kept.recoveryPath.IsEmpty())
      platform::RemoveFile(kept.recoveryPath);
    kept.recoveryPath = recovery;
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
  std::vector<platform::ListedFile> found;
  platform::EnumerateListedFiles(directory + "\\*.trk" + kRecoverySuffix, [&](const platform::ListedFile& file) {
    found.push_back(file);
    return true;
  });
  int adopted = 0;
  for (const platform::ListedFile& file : found) {
    const TextString recoveryPath = directory + "\\" + file.name;
    const TextString listPath = recoveryPath.Left(recoveryPath.Length() - (sizeof kRecoverySuffix - 1));
    if (Holds(listPath) || ListedWriteTime(listPath) > file.writeTime) continue;
    std::string bytes;
    if (!ReadWholeFile(recoveryPath, kMaxRecoveryBytes, &bytes)) continue;
    kept_.push_back({listPath, recoveryPath, std::move(bytes)});
    ++adopted;
  }
  return adopted;
}

bool UnsavedLists::Holds(const TextString& listPath) const {
  for (const Kept& kept : kept_) {
    if (kept.listPath.EqualsIgnoringCase(listPath)) return true;
  }
  return false;
}

}  // namespace tarnix
