#include "import/cue_locator.h"

#include <string>
#include <vector>

#include "import/cue_sheet.h"
#include "import/utf8.h"
#include "tracklist/platform.h"
#include "tracklist/whole_file.h"

namespace tarnix {

namespace {

// Names listed from one folder; a folder of thousands of sheets is not read through.
constexpr size_t kMaxCueNamesListed = 4096;

}  // namespace

bool FindCueSheetChapters(const TextString& playedPath, ChapterSet* out) {
  *out = ChapterSet();
  const TextString name = playedPath.FileNamePart();
  if (name.IsEmpty()) return false;
  const TextString folder = playedPath.DirectoryPart();
  const TextString prefix = folder.IsEmpty() && playedPath[0] != '\\' ? TextString() : folder + "\\";
  TextString stem = name.WithoutExtension();
  if (stem.IsEmpty()) stem = name;

  // The Windows search also matches longer extensions through short names ("a.cuex"), so
  // every name is checked again.
  std::vector<TextString> sheets;
  platform::EnumerateFiles(prefix + "*.cue", [&](const TextString& found) {
    if (found.UpperExtension() == "CUE") sheets.push_back(found);
    return sheets.size() < kMaxCueNamesListed;
  });

  const std::string playedUtf8(name.c_str(), static_cast<size_t>(name.Length()));
  const CueFileCheck beside = [&prefix](std::string_view file) {
    return platform::FileExists(prefix + TextString(static_cast<int>(file.size()), file.data()));
  };
  std::vector<bool> tried(sheets.size(), false);
  std::string bytes;
  const TextString byName[2] = {stem + ".cue", name + ".cue"};
  for (const TextString& wanted : byName) {
    for (size_t i = 0; i < sheets.size(); ++i) {
      if (tried[i] || !sheets[i].EqualsIgnoringCase(wanted)) continue;
      tried[i] = true;
      if (ReadWholeFile(prefix + sheets[i], kMaxCueSheetBytes, &bytes) &&
          ParseCueSheet(bytes, playedUtf8, true, out, beside))
        return true;
    }
  }
  int opened = 0;
  for (size_t i = 0; i < sheets.size() && opened < kMaxCueSheetsSearched; ++i) {
    if (tried[i]) continue;
    ++opened;
    if (ReadWholeFile(prefix + sheets[i], kMaxCueSheetBytes, &bytes) &&
        ParseCueSheet(bytes, playedUtf8, false, out, beside))
      return true;
  }
  *out = ChapterSet();
  return false;
}

}  // namespace tarnix
