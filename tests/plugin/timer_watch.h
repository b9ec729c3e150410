#pragma once
// TimerWatch: notes every timer message the plug-in's loop takes off its queue, with how many
// requests the stand-in player had logged by then, through a get-message hook on the plug-in's
// thread. Which tick started a request, and whether the timer ran in between, is then known
// from the order of events alone, without timing. One watch per process at a time.

#include <windows.h>

#include <cstddef>
#include <mutex>
#include <vector>

#include "testhost/request_log.h"

namespace tarnix::test {

class TimerWatch {
 public:
  TimerWatch(DWORD uiThread, testhost::RequestLog& log);
  ~TimerWatch();
  TimerWatch(const TimerWatch&) = delete;
  TimerWatch& operator=(const TimerWatch&) = delete;

  bool Ok() const { return hook_ != nullptr; }
  int Count() const;
  // Whether a timer message was taken after `from` requests were logged and before request
  // number `upTo` (0-based) was.
  bool TimerBetween(size_t from, size_t upTo) const;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);

  testhost::RequestLog& log_;
  HHOOK hook_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<size_t> marks_;  // log size at each timer message
};

// Requests logged so far.
size_t LogSize(const testhost::RequestLog& log);

}  // namespace tarnix::test
