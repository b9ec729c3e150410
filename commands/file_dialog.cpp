#include "commands/file_dialog.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <cstring>

#include "host/plugin.h"
#include "host/user_messages.h"

namespace tarnix {

namespace {
constexpr int kFileBufferSize = 512;
}  // namespace

TextString AskForFile(const FileDialogSpec& spec, const TextString& initial) {
  char buffer[kFileBufferSize] = {};
  if (initial.Length() < kFileBufferSize) std::memcpy(buffer, initial.c_str(), static_cast<size_t>(initial.Length()));

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = ThePlugin().window.Get();
  dialog.lpstrFilter = spec.filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = kFileBufferSize;
  dialog.lpstrInitialDir = spec.initialDirectory.IsEmpty() ? nullptr : spec.initialDirectory.c_str();
  dialog.lpstrDefExt = spec.defaultExtension;
  dialog.Flags = OFN_HIDEREADONLY | (spec.kind == FileDialog::kSave ? OFN_OVERWRITEPROMPT : 0);

  const bool open = spec.kind == FileDialog::kOpen;
  const BOOL chosen = open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
  if (!chosen) {
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
      ReportFailure(open ? "Couldn't open: the path is longer than 511 characters"
                         : "Couldn't save: the path is longer than 511 characters");
    }
    return TextString();
  }
  buffer[kFileBufferSize - 1] = '\0';
  return TextString(buffer);
}

}  // namespace tarnix
