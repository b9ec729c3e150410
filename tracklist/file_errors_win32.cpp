// File errors on Windows: GetLastError codes and the system's own wording of them, in UTF-8.

#include <windows.h>

#include <string>
#include <string_view>

#include "tracklist/file_errors.h"
#include "tracklist/system_path_win32.h"
#include "win32/utf16.h"

namespace tarnix::platform {

namespace {

FileError KindOf(DWORD code) {
  switch (code) {
    case ERROR_SUCCESS:
      return FileError::kNone;
    // What a virus scanner or a sync client holding the file open gives.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return FileError::kHeld;
    case ERROR_WRITE_PROTECT:
      return FileError::kReadOnly;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::kDiskFull;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return FileError::kPathNotFound;
    default:
      return FileError::kOther;
  }
}

}  // namespace

FileErrorCode LastFileError() {
  const DWORD code = GetLastError();
  return {code == ERROR_SUCCESS ? FileError::kOther : KindOf(code), static_cast<int>(code)};
}

FileErrorCode FileErrorOf(FileError kind) {
  switch (kind) {
    case FileError::kNone:
      return {kind, 0};
    case FileError::kHeld:
      return {kind, ERROR_SHARING_VIOLATION};
    case FileError::kReadOnly:
      return {kind, ERROR_ACCESS_DENIED};
    case FileError::kDiskFull:
      return {kind, ERROR_DISK_FULL};
    case FileError::kPathNotFound:
      return {kind, ERROR_PATH_NOT_FOUND};
    case FileError::kInterrupted:
      return {kind, ERROR_OPERATION_ABORTED};
    case FileError::kOther:
      break;
  }
  return {FileError::kOther, ERROR_WRITE_FAULT};
}

TextString SystemErrorText(int code) {
  if (code == 0) return TextString();
  wchar_t* text = nullptr;
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const DWORD n =
      FormatMessageW(flags, nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring_view wide(text ? text : L"", text ? n : 0);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) wide.remove_suffix(1);
  const std::string utf8 = Utf8FromWide(wide);
  if (text) LocalFree(text);
  TextString out(static_cast<int>(utf8.size()), utf8.c_str());
  if (out.IsEmpty()) out.Format("system error %d", code);
  return out;
}

bool IsReadOnlyFile(const TextString& path) {
  const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void SleepMs(int milliseconds) {
  if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace tarnix::platform
