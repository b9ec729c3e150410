#pragma once
// Answers the modal windows that a command opens on the test's thread (the plug-in's message
// box, the system's file dialogs) from a helper thread, and reports what they showed.

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace tarnix::test {

// What one message box showed and which button was pressed.
struct SeenBox {
  std::string text;  // line breaks of the wrapped text removed
  std::string caption;
  std::vector<int> buttons;  // control ids of its buttons, in creation order
  bool icon = false;
  HWND owner = nullptr;
};

// One step of a script: answer the next message box with `button`, or the next file dialog
// with `path` (empty: cancel it).
struct Answer {
  enum Kind { kBox, kFileDialog } kind;
  int button = IDOK;
  std::string path;

  static Answer Box(int button) { return Answer{kBox, button, {}}; }
  static Answer File(const std::string& path) { return Answer{kFileDialog, 0, path}; }
  static Answer CancelFile() { return Answer{kFileDialog, 0, {}}; }
};

class UiResponder {
 public:
  // Starts answering at once, step by step; a window of the other kind than the next step
  // expects is a failure (it is cancelled and recorded).
  explicit UiResponder(std::vector<Answer> script, DWORD stepTimeoutMs = 10000);
  ~UiResponder();
  UiResponder(const UiResponder&) = delete;
  UiResponder& operator=(const UiResponder&) = delete;

  // Waits for the helper to finish (every step done, or a step timed out).
  void Join();
  const std::vector<SeenBox>& Boxes() const { return boxes_; }
  // The file dialogs' window titles, in order.
  const std::vector<std::string>& FileDialogs() const { return dialogs_; }
  // The file name each file dialog proposed, in the order of FileDialogs.
  const std::vector<std::string>& ProposedNames() const { return proposed_; }
  // Steps that found no window in time, or found the wrong kind.
  int Failures() const { return failures_; }
  int Done() const { return done_; }

 private:
  void Run();

  std::vector<Answer> script_;
  DWORD stepTimeoutMs_;
  std::vector<SeenBox> boxes_;
  std::vector<std::string> dialogs_;
  std::vector<std::string> proposed_;
  int failures_ = 0;
  int done_ = 0;
  std::thread thread_;
  bool joined_ = false;
};

// Normalises a box text for comparison: line feeds dropped, blanks squeezed out.
std::string Squeezed(const std::string& text);

}  // namespace tarnix::test
