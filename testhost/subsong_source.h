#pragma once
// SubsongSource: a stand-in for a component of the player's process that plays files holding
// several subsongs. It runs on a thread of its own, talks to the plug-in's window with the
// private messages of that protocol, and records the UM_PLAY_SUBSONG thread messages it gets.
// Calls wait for the source thread while pumping the caller's queue, so the plug-in's window
// may live on the caller's thread.

#include "host/player_codes.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tarnix::testhost {

// One UM_PLAY_SUBSONG the source received.
struct PlaySubsongRequest {
  std::int64_t timeMs = 0;
  WPARAM subsong = 0;
  LPARAM lParam = 0;
};

class SubsongSource {
 public:
  // A null target means the first window of class "TarnixPluginWindow" in this process, looked
  // up per call.
  explicit SubsongSource(HWND target = nullptr);
  ~SubsongSource();
  SubsongSource(const SubsongSource&) = delete;
  SubsongSource& operator=(const SubsongSource&) = delete;

  DWORD ThreadId() const { return threadId_; }

  // Each send waits at most kSendTimeoutMs for the plug-in; false when it did not answer or no
  // target window exists.
  bool Announce(int subsongs, LPARAM lParam = 0);         // UM_SUBSONG_INFO
  bool SetTrackName(int index, const std::string& name);  // UM_SET_TRACK_NAME
  bool SubsongChanged(int index);                         // UM_SUBSONG_CHANGED
  std::optional<LRESULT> LastKey();                       // UM_GET_LAST_KEY
  std::optional<LRESULT> CurrentKey();                    // UM_GET_CURRENT_KEY

  // The record of the last announcement, as sent.
  std::array<std::uint32_t, kSubsongRecordWords> LastRecord() const;

  std::vector<PlaySubsongRequest> PlayRequests() const;
  // Pumps the caller's queue until at least count requests arrived or deadlineMs passed.
  bool WaitForPlayRequests(size_t count, DWORD deadlineMs);

  static constexpr UINT kSendTimeoutMs = 5000;

 private:
  struct Task;
  void Run(HANDLE ready);
  std::optional<LRESULT> Send(UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> OnSourceThread(const std::function<std::optional<LRESULT>()>& work);

  HWND target_;
  DWORD threadId_ = 0;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<PlaySubsongRequest> requests_;
  std::array<std::uint32_t, kSubsongRecordWords> record_{};
};

}  // namespace tarnix::testhost
