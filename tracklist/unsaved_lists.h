#pragma once
// Edited lists that could not be saved: each is kept in a recovery file beside its list (a name
// the search for "*.trk" never matches) and saved into place once the list can be written.

#include <string>
#include <vector>

#include "tracklist/replacing_write.h"
#include "tracklist/text_string.h"

namespace tarnix {

// "<list>.unsaved": beside the list, never taken for one.
TextString RecoveryPathFor(const TextString& listPath);

class UnsavedLists {
 public:
  // Where a recovery file goes when the list's own directory takes none (it is missing).
  explicit UnsavedLists(TextString fallbackDirectory = TextString());
  void SetFallbackDirectory(const TextString& directory) { fallbackDirectory_ = directory; }

  // Keeps `bytes` meant for `listPath`: writes the recovery file (one attempt, no waiting) and
  // remembers to save the list later. Returns the recovery file's path, empty when none could
  // be written (the bytes are still kept for the later save).
  TextString Keep(const TextString& listPath, std::string bytes);
  // Tries each kept list once, without waiting; a list saved is forgotten and its recovery file
  // removed. Returns how many were saved.
  int SaveWaiting();
  // A newer version of the list was saved: the kept one is stale and goes with its recovery file.
  void Forget(const TextString& listPath);
  // Takes up the recovery files an earlier run left beside the lists in `directory`, each to be
  // saved into place like an edit kept in this run. One whose list was written after it stays
  // as it is: the list holds a later edit. Returns how many were taken up.
  int AdoptRecoveryFiles(const TextString& directory);

  bool Holds(const TextString& listPath) const;
  size_t Count() const { return kept_.size(); }

 private:
  struct Kept {
    TextString listPath;
    TextString recoveryPath;  // empty when none was written
    std::string bytes;
  };

  TextString WriteRecovery(const TextString& listPath, const std::string& bytes) const;

  TextString fallbackDirectory_;
  std::vector<Kept> kept_;
};

}  // namespace tarnix
