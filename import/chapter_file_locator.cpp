#include "import/chapter_file_locator.h"

#include <cstdio>
#include <string>

#include "import/chapter_files.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

// The whole file when it is no larger than a chapter file may be.
bool ReadChapterFile(const TextString& path, std::string* bytes) {
  platform::File file(path, "rb");
  if (!file) return false;
  const int64_t size = platform::FileSizeOf(file.get());
  if (size < 0 || static_cast<uint64_t>(size) > kMaxChapterFileBytes || !platform::SeekFile(file.get(), 0))
    return false;
  bytes->resize(static_cast<size_t>(size));
  return size == 0 || std::fread(&(*bytes)[0], 1, bytes->size(), file.get()) == bytes->size();
}

}  // namespace

bool FindChapterFile(const TextString& playedPath, ChapterSet* out) {
  const TextString name = playedPath.FileNamePart();
  if (name.IsEmpty()) return false;
  const TextString folder = playedPath.DirectoryPart();
  const TextString prefix = folder.IsEmpty() && playedPath[0] != '\\' ? TextString() : folder + "\\";
  const TextString bare = name.WithoutExtension();
  const TextString stem = prefix + (bare.IsEmpty() ? name : bare);
  struct Candidate {
    const char* suffix;
    ChapterFileForm form;
  };
  static const Candidate kCandidates[] = {{".chapters.txt", ChapterFileForm::kPlainText},
                                          {".ffmetadata", ChapterFileForm::kFfmetadata},
                                          {".chapters.json", ChapterFileForm::kPodcastJson}};
  std::string bytes;
  for (const Candidate& candidate : kCandidates) {
    if (ReadChapterFile(stem + candidate.suffix, &bytes) && ParseChapterFile(candidate.form, bytes, out)) return true;
  }
  return false;
}

}  // namespace tarnix
