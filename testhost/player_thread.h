#pragma once
// StandInPlayerThread: a StandInPlayer living on a thread of its own that pumps its messages,
// for tests where the plug-in side runs on the test's thread (sends to the player then cross
// threads, as they do between the plug-in's thread and the player's).

#include "testhost/stand_in_player.h"

#include <windows.h>

#include <memory>
#include <thread>

namespace tarnix::testhost {

class StandInPlayerThread {
 public:
  explicit StandInPlayerThread(const StandInPlayerOptions& options = {});
  // Ends silence, stops the thread's loop and waits for it; the player is destroyed on its thread.
  ~StandInPlayerThread();
  StandInPlayerThread(const StandInPlayerThread&) = delete;
  StandInPlayerThread& operator=(const StandInPlayerThread&) = delete;

  StandInPlayer& Player() { return *player_; }
  HWND Window() const { return player_->Window(); }
  DWORD ThreadId() const { return threadId_; }

 private:
  void Run(StandInPlayerOptions options, HANDLE ready);

  std::unique_ptr<StandInPlayer> player_;
  DWORD threadId_ = 0;
  std::thread thread_;
};

}  // namespace tarnix::testhost
