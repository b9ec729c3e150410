#pragma once
// The one chapter save at a time, off the UI thread: a rewrite of a large recording takes
// seconds, and the window keeps answering meanwhile. The thread posts its progress
// (UM_APPLY_CHAPTERS_PROGRESS, wParam the percent) and its end (UM_APPLY_CHAPTERS_SAVED) to the
// plug-in window, whose procedure calls Finish on the UI thread. Saves the player kept from
// being done (it holds the playing file) wait here until it lets go; at quit they go into a
// small file in the store directory for the next start. The owner (the Plugin) destroys it
// after the window: cancelling makes the rewrite stop at its next step, and the thread is
// joined before the object goes.

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "host/pending_chapter_saves.h"
#include "import/recording_rewrite.h"

namespace tarnix {

class RecordingSave {
 public:
  RecordingSave() = default;
  ~RecordingSave();
  RecordingSave(const RecordingSave&) = delete;
  RecordingSave& operator=(const RecordingSave&) = delete;

  bool Running() const { return thread_.joinable(); }
  // Starts the save (false when one runs already). Only the UI thread starts and finishes.
  bool Start(HWND window, ChapterSave save);
  // After UM_APPLY_CHAPTERS_SAVED: joins the thread; `save` and `result` say what it did.
  void Finish(ChapterSave* save, RewriteResult* result);
  // Makes a running save stop at its next step and waits for its thread.
  void CancelAndJoin();

  // Saves waiting for the player to let go of their recordings, oldest first.
  std::vector<ChapterSave>& pending() { return pending_; }
  const std::vector<ChapterSave>& pending() const { return pending_; }
  // Whether playback ran at the last look: a waiting save is tried again when it stops.
  bool wasPlaying = false;

 private:
  void Run(HWND window);

  std::thread thread_;
  std::atomic<bool> cancel_{false};
  ChapterSave save_;      // the thread's while it runs
  RewriteResult result_;  // written by the thread before it posts its end
  std::vector<ChapterSave> pending_;
};

// The file the waiting saves are kept in across a quit ("chapter_saves.pending").
TextString PendingChapterSavesPath(const TextString& storeDirectory);
// Writes the waiting saves (removes the file when there are none); false when it could not.
bool KeepPendingChapterSaves(const TextString& storeDirectory, const std::vector<ChapterSave>& saves);
// Reads the kept saves and removes the file.
std::vector<ChapterSave> TakePendingChapterSaves(const TextString& storeDirectory);

}  // namespace tarnix
