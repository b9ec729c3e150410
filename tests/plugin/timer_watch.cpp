#include "tests/plugin/timer_watch.h"

#include <atomic>

#include "host/timer_ids.h"

namespace tarnix::test {

namespace {

std::atomic<TimerWatch*> g_watch{nullptr};

}  // namespace

size_t LogSize(const testhost::RequestLog& log) {
  return static_cast<size_t>(log.Count([](const testhost::PlayerRequest&) { return true; }));
}

TimerWatch::TimerWatch(DWORD uiThread, testhost::RequestLog& log) : log_(log) {
  g_watch = this;
  hook_ = SetWindowsHookExA(WH_GETMESSAGE, Hook, nullptr, uiThread);
}

TimerWatch::~TimerWatch() {
  if (hook_) UnhookWindowsHookEx(hook_);
  g_watch = nullptr;
}

LRESULT CALLBACK TimerWatch::Hook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  TimerWatch* watch = g_watch;
  if (code == HC_ACTION && wParam == PM_REMOVE && watch && msg->message == WM_TIMER && msg->wParam == kTickTimerId) {
    const size_t size = LogSize(watch->log_);
    std::lock_guard<std::mutex> lock(watch->mutex_);
    watch->marks_.push_back(size);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

int TimerWatch::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(marks_.size());
}

bool TimerWatch::TimerBetween(size_t from, size_t upTo) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t mark : marks_)
    if (mark >= from && mark <= upTo) return true;
  return false;
}

}  // namespace tarnix::test
