#pragma once
// The system's open and save dialogs as the file commands use them: one path in, one path out.

#include "tracklist/text_string.h"

namespace tarnix {

enum class FileDialog { kOpen, kSave };

struct FileDialogSpec {
  FileDialog kind;
  const wchar_t* filter;  // pairs of NUL-terminated texts, ending in an empty one
  const wchar_t* defaultExtension;
  TextString initialDirectory;
};

// Runs one dialog with `initial` in its buffer; a text that does not fit leaves the buffer
// empty rather than offering a cut path. Returns the chosen path, or empty when cancelled; a
// chosen path that does not fit the buffer is refused with a message. At quit it is cancelled,
// or not shown at all.
TextString AskForFile(const FileDialogSpec& spec, const TextString& initial);

}  // namespace tarnix
