#include "bench/playback/key_poller.h"

#include "testhost/request_log.h"

#include <algorithm>

namespace tarnix::bench {

namespace {

// Long enough for a song change that searches thousands of files.
constexpr UINT kAnswerTimeoutMs = 10000;

}  // namespace

KeyPoller::KeyPoller(HWND window, UINT query) : window_(window), query_(query) {
  samples_.reserve(1 << 16);
  thread_ = std::thread(&KeyPoller::Run, this);
}

KeyPoller::~KeyPoller() { Stop(); }

void KeyPoller::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void KeyPoller::Run() {
  while (!stop_) {
    KeySample sample;
    sample.sentAt = testhost::SteadyMs();
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutA(window_, query_, 0, 0, SMTO_NORMAL, kAnswerTimeoutMs, &result) != 0;
    sample.answeredAt = testhost::SteadyMs();
    sample.key = static_cast<std::int32_t>(result);
    if (answered) {
      std::lock_guard<std::mutex> lock(mutex_);
      samples_.push_back(sample);
    }
    Sleep(1);
  }
}

std::vector<KeySample> KeyPoller::Samples() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_;
}

bool KeyPoller::FirstSince(std::int64_t since, std::int32_t key, KeySample* found) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = std::find_if(samples_.begin(), samples_.end(),
                               [&](const KeySample& s) { return s.answeredAt >= since && s.key == key; });
  if (it == samples_.end()) return false;
  *found = *it;
  return true;
}

}  // namespace tarnix::bench
