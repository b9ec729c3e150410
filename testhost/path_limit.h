#pragma once
// Windows refuses a path of MAX_PATH units or more (248 for a new folder) in its file calls
// unless it comes in the "\\?\" form; Wine takes any length. ClassicPathLimit puts the limit
// back for one loaded module: its imported file calls are redirected, for as long as the object
// lives, to wrappers that refuse such paths as Windows does, so a test under Wine sees what a
// listener's system does.

#include <windows.h>

#include <vector>

namespace tarnix::testhost {

class ClassicPathLimit {
 public:
  explicit ClassicPathLimit(HMODULE module);
  ~ClassicPathLimit();
  ClassicPathLimit(const ClassicPathLimit&) = delete;
  ClassicPathLimit& operator=(const ClassicPathLimit&) = delete;

  // How many imports were redirected (0: the module imports none of the file calls).
  size_t Redirected() const { return patched_.size(); }
  // How many calls were refused so far, over every ClassicPathLimit.
  static long Refusals();

 private:
  struct Patch {
    void** slot;
    void* original;
  };
  std::vector<Patch> patched_;
};

}  // namespace tarnix::testhost
