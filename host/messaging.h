#pragma once
// Guarded messaging with the player. The plug-in's thread asks the player for everything by
// sending to the player's main window, whose thread may itself be blocked (in quit, waiting for
// the plug-in's thread, or in a send of its own to the plug-in's window). The guarded send never
// blocks for long and turns a missing answer or a pending quit message into an exception; the
// waits look for one message while keeping the thread responsive to sent messages.

#include <windows.h>

#include <exception>

namespace tarnix {

// Any failure of a guarded send.
class SendMsgException : public std::exception {
 public:
  const char* what() const noexcept override { return "Tarnix.SendMsgException"; }
};

// The receiver did not answer any of the attempts.
class SendMsgTimeout : public SendMsgException {
 public:
  const char* what() const noexcept override { return "Tarnix.SendMsgTimeout"; }
};

// The quit message is waiting in the calling thread's queue.
class SendMsgQuit : public SendMsgException {
 public:
  const char* what() const noexcept override { return "Tarnix.SendMsgQuit"; }
};

constexpr UINT kGuardedSendAttemptMs = 1000;
constexpr int kGuardedSendAttempts = 20;
// Longest sleep of a message wait between two looks at the queue.
constexpr DWORD kMessageWaitSliceMs = 50;

// Sends with a time-out per attempt (SMTO_BLOCK: no incoming sent messages are handled during an
// attempt) and retries; between attempts it looks, without removing it, for quitMessage in the
// calling thread's queue, which handles pending sent messages as a side effect. Returns what the
// receiver returned, full width (pointer results stay intact on 64 bits).
LRESULT SendMessageGuarded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT quitMessage);

// SendMessageGuarded with UM_QUIT as the quit message: every request to the player uses it. Once
// the quit message has reached the plug-in window (NoteQuitArrived) it throws SendMsgQuit at once:
// the player's thread is waiting in quit and answers nothing.
LRESULT SendToPlayer(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Quit as the UI thread sees it. UM_QUIT is posted to the plug-in window, and until a loop
// dispatches it, it is seen queued; a modal loop (a menu, a file dialog) takes it off the queue
// and hands it to the window procedure, which notes it here. From then on nothing may wait: the
// guarded sends, the plug-in's message boxes, its file dialogs and its waits for a held file give
// up at once. StartUp forgets a note of an earlier run.
void NoteQuitArrived() noexcept;
bool QuitArrived() noexcept;
void ForgetQuit() noexcept;
// QuitArrived, or UM_QUIT still queued for the calling thread (for any of its windows).
bool QuitPending();

// Whether a message with exactly messageId is queued for window (for any window of the thread,
// thread messages included, when window is null); with remove it is taken off the queue into
// msg (which may be null). Never waits. Message id 0 names nothing and gives false.
bool PeekOne(MSG* msg, HWND window, UINT messageId, bool remove);

// Waits until a message with an id in [firstId, lastId] is queued for window (any window of the
// thread when null), takes it off the queue into msg (which may be null) and returns true; false
// once timeoutMs have passed. Other messages stay queued; sent messages are handled while
// waiting. An empty range (lastId < firstId, or 0 to 0) gives false at once.
bool WaitForMessageRange(MSG* msg, HWND window, UINT firstId, UINT lastId, int timeoutMs);
bool WaitForMessage(MSG* msg, HWND window, UINT messageId, int timeoutMs);

namespace detail {

// Attempt length and count of a guarded send; the product always uses the constants above.
struct GuardedSendLimits {
  UINT attemptMs = kGuardedSendAttemptMs;
  int attempts = kGuardedSendAttempts;
};

LRESULT SendMessageGuarded(const GuardedSendLimits& limits, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           UINT quitMessage);

}  // namespace detail

}  // namespace tarnix
