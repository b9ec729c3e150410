#include "tracklist/unsaved_lists.h"

#include <utility>

#include "tracklist/platform.h"

namespace tarnix {

TextString RecoveryPathFor(const TextString& listPath) { return listPath + ".unsaved"; }

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

bool UnsavedLists::Holds(const TextString& listPath) const {
  for (const Kept& kept : kept_) {
    if (kept.listPath.EqualsIgnoringCase(listPath)) return true;
  }
  return false;
}

}  // namespace tarnix
