#include "testhost/request_log.h"

#include <chrono>

namespace tarnix::testhost {

std::int64_t SteadyMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void RequestLog::Add(const PlayerRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(request);
}

void RequestLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}

std::vector<PlayerRequest> RequestLog::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

int RequestLog::Count(const std::function<bool(const PlayerRequest&)>& match) const {
  std::lock_guard<std::mutex> lock(mutex_);
  int n = 0;
  for (const PlayerRequest& r : requests_) {
    if (match(r)) ++n;
  }
  return n;
}

int RequestLog::CountCode(LPARAM code) const {
  return Count([code](const PlayerRequest& r) { return r.IsCode(code); });
}

int RequestLog::CountCommand(WPARAM id) const {
  return Count([id](const PlayerRequest& r) { return r.IsCommand(id); });
}

int RequestLog::CountMessage(UINT message) const {
  return Count([message](const PlayerRequest& r) { return r.message == message; });
}

}  // namespace tarnix::testhost
