// File errors on Windows: GetLastError codes and the system's own wording of them.

#include <windows.h>

#include "tracklist/file_errors.h"

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
  char* text = nullptr;
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  const DWORD n =
      FormatMessageA(flags, nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  TextString out;
  if (n > 0 && text) {
    DWORD length = n;
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ')) --length;
    out = TextString(static_cast<int>(length), text);
  }
  if (text) LocalFree(text);
  if (out.IsEmpty()) out.Format("system error %d", code);
  return out;
}

bool IsReadOnlyFile(const TextString& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void SleepMs(int milliseconds) {
  if (milliseconds > 0) Sleep(static_cast<DWORD>(milliseconds));
}

}  // namespace tarnix::platform
