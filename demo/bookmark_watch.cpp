#include "demo/bookmark_watch.h"

#include <windows.h>

#include "testhost/wide_names.h"
#include "win32/handles.h"

namespace tarnix::demo {

std::vector<ChangedFile> DiffSnapshots(const DirectorySnapshot& before, const DirectorySnapshot& after) {
  std::vector<ChangedFile> changes;
  for (const auto& [name, stamp] : after) {
    const auto old = before.find(name);
    if (old == before.end()) {
      changes.push_back({name, FileChange::kAdded});
    } else if (!(old->second == stamp)) {
      changes.push_back({name, FileChange::kChanged});
    }
  }
  for (const auto& entry : before) {
    if (after.find(entry.first) == after.end()) changes.push_back({entry.first, FileChange::kRemoved});
  }
  return changes;
}

const char* ChangeName(FileChange change) {
  switch (change) {
    case FileChange::kAdded:
      return "written (new)";
    case FileChange::kChanged:
      return "rewritten";
    case FileChange::kRemoved:
      return "removed";
  }
  return "?";
}

DirectorySnapshot SnapshotDirectory(const std::string& directory) {
  DirectorySnapshot snapshot;
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(testhost::WideName(directory + "\\*").c_str(), &data));
  if (find.Get() == INVALID_HANDLE_VALUE) return snapshot;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    FileStamp stamp;
    stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime =
        (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    snapshot[testhost::Utf8Name(data.cFileName)] = stamp;
  } while (FindNextFileW(find.Get(), &data));
  return snapshot;
}

BookmarkWatch::BookmarkWatch(std::string directory)
    : directory_(std::move(directory)), last_(SnapshotDirectory(directory_)) {}

std::vector<ChangedFile> BookmarkWatch::Poll() {
  DirectorySnapshot now = SnapshotDirectory(directory_);
  std::vector<ChangedFile> changes = DiffSnapshots(last_, now);
  last_ = std::move(now);
  return changes;
}

}  // namespace tarnix::demo
