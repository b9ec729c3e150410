#pragma once
// The stand-in player's record of what it was asked, for assertions from any thread.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace tarnix::testhost {

// Milliseconds of a steady clock shared by every time stamp of the test host.
std::int64_t SteadyMs();

// One message that reached the player's main window.
struct PlayerRequest {
  std::int64_t timeMs = 0;  // SteadyMs() when the window procedure got it
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool sent = false;  // sent by another thread (InSendMessage) rather than posted

  bool IsCode(LPARAM code) const { return message == WM_USER && lParam == code; }
  bool IsCommand(WPARAM id) const { return message == WM_COMMAND && LOWORD(wParam) == id; }
};

// Thread-safe list of requests in arrival order.
class RequestLog {
 public:
  void Add(const PlayerRequest& request);
  void Clear();
  std::vector<PlayerRequest> Snapshot() const;
  int Count(const std::function<bool(const PlayerRequest&)>& match) const;
  int CountCode(LPARAM code) const;
  int CountCommand(WPARAM id) const;
  int CountMessage(UINT message) const;

 private:
  mutable std::mutex mutex_;
  std::vector<PlayerRequest> requests_;
};

}  // namespace tarnix::testhost
