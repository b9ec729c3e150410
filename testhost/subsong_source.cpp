#include "testhost/subsong_source.h"

#include "testhost/probe_window.h"
#include "testhost/pump.h"
#include "testhost/request_log.h"

namespace tarnix::testhost {

namespace {

constexpr UINT kMsgRunTask = WM_APP + 0x40;
constexpr DWORD kTaskDeadlineMs = 30000;

}  // namespace

struct SubsongSource::Task {
  const std::function<std::optional<LRESULT>()>* work = nullptr;
  std::optional<LRESULT> result;
  HANDLE done = nullptr;
};

SubsongSource::SubsongSource(HWND target) : target_(target) {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = std::thread(&SubsongSource::Run, this, ready);
  WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
}

SubsongSource::~SubsongSource() {
  PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  thread_.join();
}

void SubsongSource::Run(HANDLE ready) {
  threadId_ = GetCurrentThreadId();
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before anyone posts
  SetEvent(ready);
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kMsgRunTask) {
      auto* task = reinterpret_cast<Task*>(msg.lParam);
      try {
        task->result = (*task->work)();
      } catch (...) {
        task->result.reset();
      }
      SetEvent(task->done);
    } else if (msg.hwnd == nullptr && msg.message == UM_PLAY_SUBSONG) {
      std::lock_guard<std::mutex> lock(mutex_);
      requests_.push_back({SteadyMs(), msg.wParam, msg.lParam});
    } else {
      DispatchMessageW(&msg);
    }
  }
}

std::optional<LRESULT> SubsongSource::OnSourceThread(const std::function<std::optional<LRESULT>()>& work) {
  Task task;
  task.work = &work;
  task.done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::optional<LRESULT> result;
  if (PostThreadMessageA(threadId_, kMsgRunTask, 0, reinterpret_cast<LPARAM>(&task))) {
    const bool finished =
        PumpUntil([&] { return WaitForSingleObject(task.done, 0) == WAIT_OBJECT_0; }, kTaskDeadlineMs);
    // The task points into this frame: it must be over before the frame goes.
    if (!finished) WaitForSingleObject(task.done, INFINITE);
    result = task.result;
  }
  CloseHandle(task.done);
  return result;
}

std::optional<LRESULT> SubsongSource::Send(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND target = target_ != nullptr ? target_ : FindOwnWindow(kPluginWindowClass);
  if (target == nullptr) return std::nullopt;
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(target, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(result);
}

bool SubsongSource::Announce(int subsongs, LPARAM lParam) {
  return OnSourceThread([&]() -> std::optional<LRESULT> {
           std::array<std::uint32_t, kSubsongRecordWords> record{};
           record[kSubsongRecordCountWord] = static_cast<std::uint32_t>(subsongs);
           record[kSubsongRecordThreadWord] = GetCurrentThreadId();
           {
             std::lock_guard<std::mutex> lock(mutex_);
             record_ = record;
           }
           return Send(UM_SUBSONG_INFO, reinterpret_cast<WPARAM>(record.data()), lParam);
         })
      .has_value();
}

bool SubsongSource::SetTrackName(int index, const std::string& name) {
  return OnSourceThread([&] {
           return Send(UM_SET_TRACK_NAME, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name.c_str()));
         })
      .has_value();
}

bool SubsongSource::SubsongChanged(int index) {
  return OnSourceThread([&] { return Send(UM_SUBSONG_CHANGED, static_cast<WPARAM>(index), 0); }).has_value();
}

std::optional<LRESULT> SubsongSource::LastKey() {
  return OnSourceThread([&] { return Send(UM_GET_LAST_KEY, 0, 0); });
}

std::optional<LRESULT> SubsongSource::CurrentKey() {
  return OnSourceThread([&] { return Send(UM_GET_CURRENT_KEY, 0, 0); });
}

std::array<std::uint32_t, kSubsongRecordWords> SubsongSource::LastRecord() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return record_;
}

std::vector<PlaySubsongRequest> SubsongSource::PlayRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

bool SubsongSource::WaitForPlayRequests(size_t count, DWORD deadlineMs) {
  return PumpUntil(
      [&] {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_.size() >= count;
      },
      deadlineMs);
}

}  // namespace tarnix::testhost
