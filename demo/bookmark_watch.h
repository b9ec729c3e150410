#pragma once
// Watches a directory of ".trk" files so the demo can log what the plug-in wrote into it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tarnix::demo {

struct FileStamp {
  uint64_t size = 0;
  uint64_t writeTime = 0;  // FILETIME as one number
  bool operator==(const FileStamp& other) const { return size == other.size && writeTime == other.writeTime; }
};

using DirectorySnapshot = std::map<std::string, FileStamp>;

enum class FileChange { kAdded, kChanged, kRemoved };

struct ChangedFile {
  std::string name;
  FileChange change;
};

// Files that appeared, changed (size or write time) or went between two snapshots, by name.
std::vector<ChangedFile> DiffSnapshots(const DirectorySnapshot& before, const DirectorySnapshot& after);

const char* ChangeName(FileChange change);

// The plain files of `directory` (no subdirectories).
DirectorySnapshot SnapshotDirectory(const std::string& directory);

// Remembers the last snapshot and reports what changed since.
class BookmarkWatch {
 public:
  explicit BookmarkWatch(std::string directory);
  std::vector<ChangedFile> Poll();
  const std::string& Directory() const { return directory_; }

 private:
  std::string directory_;
  DirectorySnapshot last_;
};

}  // namespace tarnix::demo
