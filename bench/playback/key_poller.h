#pragma once
// KeyPoller: asks the plug-in's window one of its key queries (UM_GET_CURRENT_KEY or
// UM_GET_LAST_KEY) about once a millisecond from a thread of its own, and keeps every answer
// with the times it was sent and answered, so that the player's thread stays free to pump.

#include "bench/playback/boundary_timing.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnix::bench {

class KeyPoller {
 public:
  KeyPoller(HWND window, UINT query);
  ~KeyPoller();  // stops the thread
  KeyPoller(const KeyPoller&) = delete;
  KeyPoller& operator=(const KeyPoller&) = delete;

  void Stop();
  std::vector<KeySample> Samples() const;
  // The first sample answered at or after `since` whose key is `key`; false when none yet.
  bool FirstSince(std::int64_t since, std::int32_t key, KeySample* found) const;

 private:
  void Run();

  HWND window_;
  UINT query_;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<KeySample> samples_;
  std::thread thread_;
};

}  // namespace tarnix::bench
