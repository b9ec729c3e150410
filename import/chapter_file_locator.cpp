#include "import/chapter_file_locator.h"

#include <string>

#include "import/chapter_files.h"
#include "tracklist/whole_file.h"

namespace tarnix {

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
    if (ReadWholeFile(stem + candidate.suffix, kMaxChapterFileBytes, &bytes) &&
        ParseChapterFile(candidate.form, bytes, out))
      return true;
  }
  return false;
}

}  // namespace tarnix
