#include "testhost/player_thread.h"

namespace tarnix::testhost {

StandInPlayerThread::StandInPlayerThread(const StandInPlayerOptions& options) {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread(&StandInPlayerThread::Run, this, options, ready);
  WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
}

StandInPlayerThread::~StandInPlayerThread() {
  player_->SetSilent(false);
  PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  thread_.join();
}

void StandInPlayerThread::Run(StandInPlayerOptions options, HANDLE ready) {
  threadId_ = GetCurrentThreadId();
  player_ = std::make_unique<StandInPlayer>(options);
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // make the queue before anyone posts to it
  SetEvent(ready);
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  player_.reset();
}

}  // namespace tarnix::testhost
