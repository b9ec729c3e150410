#include "host/recording_save.h"

#include <exception>
#include <utility>

#include "host/messaging.h"
#include "host/player_codes.h"
#include "import/recording_chapters.h"
#include "tracklist/platform.h"
#include "tracklist/replacing_write.h"
#include "tracklist/whole_file.h"

namespace tarnix {

namespace {

constexpr uint64_t kMaxPendingFileBytes = 16 * 1024 * 1024;

}  // namespace

RecordingSave::~RecordingSave() { CancelAndJoin(); }

bool RecordingSave::Start(HWND window, ChapterSave save) {
  if (Running()) return false;
  cancel_.store(false);
  save_ = std::move(save);
  result_ = RewriteResult{};
  thread_ = std::thread([this, window] { Run(window); });
  return true;
}

void RecordingSave::Run(HWND window) {
  // Nothing may leave the thread: an exception here would end the player's process.
  try {
    int shown = -1;
    const RewriteProgress progress = [&](uint64_t written, uint64_t size) {
      if (cancel_.load() || QuitArrived()) return false;
      const int percent = size == 0 ? 100 : static_cast<int>(written * 100 / size);
      if (percent != shown) {
        shown = percent;
        PostMessageW(window, UM_APPLY_CHAPTERS_PROGRESS, static_cast<WPARAM>(percent), 0);
      }
      return true;
    };
    result_ = RewriteRecording(TextString(save_.path.c_str()), save_.chapters, WriteRecordingChapters, progress);
  } catch (const std::exception& error) {
    result_ = RewriteResult{RewriteOutcome::kFailed, error.what(), {}};
  } catch (...) {
    result_ = RewriteResult{RewriteOutcome::kFailed, "an unexpected error", {}};
  }
  PostMessageW(window, UM_APPLY_CHAPTERS_SAVED, 0, 0);
}

void RecordingSave::Finish(ChapterSave* save, RewriteResult* result) {
  if (thread_.joinable()) thread_.join();
  *save = std::move(save_);
  *result = std::move(result_);
  save_ = ChapterSave{};
}

void RecordingSave::CancelAndJoin() {
  cancel_.store(true);
  if (thread_.joinable()) thread_.join();
}

TextString PendingChapterSavesPath(const TextString& storeDirectory) {
  return storeDirectory + "\\chapter_saves.pending";
}

bool KeepPendingChapterSaves(const TextString& storeDirectory, const std::vector<ChapterSave>& saves) {
  const TextString path = PendingChapterSavesPath(storeDirectory);
  if (saves.empty()) return !platform::FileExists(path) || platform::RemoveFile(path);
  return WriteReplacing(path, FormatPendingChapterSaves(saves), 0).Ok();
}

std::vector<ChapterSave> TakePendingChapterSaves(const TextString& storeDirectory) {
  const TextString path = PendingChapterSavesPath(storeDirectory);
  std::string bytes;
  if (!ReadWholeFile(path, kMaxPendingFileBytes, &bytes)) return {};
  platform::RemoveFile(path);
  return ParsePendingChapterSaves(bytes);
}

}  // namespace tarnix
