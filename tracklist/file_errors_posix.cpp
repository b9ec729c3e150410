// File errors of the native build: errno values.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "tracklist/file_errors.h"

namespace tarnix::platform {

namespace {

FileError KindOf(int code) {
  switch (code) {
    case 0:
      return FileError::kNone;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
      return FileError::kHeld;
    case EROFS:
      return FileError::kReadOnly;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return FileError::kDiskFull;
    case ENOENT:
    case ENOTDIR:
      return FileError::kPathNotFound;
    default:
      return FileError::kOther;
  }
}

std::string FileSystemPath(const TextString& path) {
  std::string out(path.c_str(), static_cast<size_t>(path.Length()));
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

}  // namespace

FileErrorCode LastFileError() {
  const int code = errno;
  // An error without a code still failed.
  return {code == 0 ? FileError::kOther : KindOf(code), code};
}

FileErrorCode FileErrorOf(FileError kind) {
  switch (kind) {
    case FileError::kNone:
      return {kind, 0};
    case FileError::kHeld:
      return {kind, EBUSY};
    case FileError::kReadOnly:
      return {kind, EACCES};
    case FileError::kDiskFull:
      return {kind, ENOSPC};
    case FileError::kPathNotFound:
      return {kind, ENOENT};
    case FileError::kInterrupted:
      return {kind, EINTR};
    case FileError::kOther:
      break;
  }
  return {FileError::kOther, EIO};
}

TextString SystemErrorText(int code) {
  if (code == 0) return TextString();
  return TextString(std::strerror(code));
}

bool IsReadOnlyFile(const TextString& path) {
  const std::string name = FileSystemPath(path);
  struct stat info;
  if (stat(name.c_str(), &info) != 0) return false;
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void SleepMs(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace tarnix::platform
