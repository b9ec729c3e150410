#include "import/recording_import.h"

#include "import/chapter_file_locator.h"
#include "import/cue_locator.h"
#include "import/cue_sheet.h"
#include "import/file_chapters.h"
#include "import/file_source.h"
#include "import/imported_list.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

bool ReadChaptersInside(const TextString& playedPath, ChapterSet* out) {
  FileSource source(playedPath);
  ChapterSet found;
  if (!source.IsOpen() || !ReadFileChapters(source, &found)) return false;
  // A FLAC file may carry a whole cue sheet in its tags; its named tracks beat the bare
  // offsets of the CUESHEET block.
  if (!found.embeddedCueSheet.empty()) {
    ChapterSet sheet;
    const TextString name = playedPath.FileNamePart();
    const TextString folder = playedPath.Left(playedPath.Length() - name.Length());
    const CueFileCheck beside = [&folder](std::string_view file) {
      return platform::FileExists(folder + TextString(static_cast<int>(file.size()), file.data()));
    };
    if (ParseCueSheet(found.embeddedCueSheet, name.c_str(), true, &sheet, beside)) {
      if (sheet.album.empty()) sheet.album = found.album;
      if (sheet.artist.empty()) sheet.artist = found.artist;
      found = std::move(sheet);
    }
  }
  if (found.Empty()) return false;
  *out = std::move(found);
  return true;
}

}  // namespace

bool ImportSubtracks(const TextString& playedPath, const TextString& title, TrackList* list) {
  if (playedPath.IsEmpty()) return false;
  ChapterSet set;
  if (!FindCueSheetChapters(playedPath, &set) && !FindChapterFile(playedPath, &set) &&
      !ReadChaptersInside(playedPath, &set))
    return false;
  return MakeImportedList(set, title, list);
}

}  // namespace tarnix
