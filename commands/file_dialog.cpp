#include "commands/file_dialog.h"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <cwchar>
#include <string>
#include <string_view>

#include "host/messaging.h"
#include "host/plugin.h"
#include "host/user_messages.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {
constexpr int kFileBufferSize = 512;
}  // namespace

TextString AskForFile(const FileDialogSpec& spec, const TextString& initial) {
  // Nobody waits for a dialog at quit; one already open is cancelled then (plugin/quit_at_once.h).
  if (QuitPending()) return TextString();
  wchar_t buffer[kFileBufferSize] = {};
  const std::wstring proposed = WideFromUtf8(std::string_view(initial.Data(), static_cast<size_t>(initial.Length())));
  if (proposed.size() < kFileBufferSize) std::wmemcpy(buffer, proposed.data(), proposed.size());
  const std::wstring directory =
      WideFromUtf8(std::string_view(spec.initialDirectory.Data(), static_cast<size_t>(spec.initialDirectory.Length())));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = ThePlugin().window.Get();
  dialog.lpstrFilter = spec.filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer;
  dialog.nMaxFile = kFileBufferSize;
  dialog.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
  dialog.lpstrDefExt = spec.defaultExtension;
  dialog.Flags = OFN_HIDEREADONLY | (spec.kind == FileDialog::kSave ? OFN_OVERWRITEPROMPT : 0);

  const bool open = spec.kind == FileDialog::kOpen;
  const BOOL chosen = open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) {
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
      ReportFailure(open ? "Couldn't open: the path is longer than 511 characters"
                         : "Couldn't save: the path is longer than 511 characters");
    }
    return TextString();
  }
  buffer[kFileBufferSize - 1] = L'\0';
  const std::string chosenPath = Utf8FromWide(buffer);
  return TextString(static_cast<int>(chosenPath.size()), chosenPath.data());
}

}  // namespace tarnix
