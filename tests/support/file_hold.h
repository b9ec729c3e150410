#pragma once
// A file held open by "another program" for as long as the object lives: a virus scanner or a
// sync client lets others read but not write or replace it (FILE_SHARE_READ); a program that
// shares nothing (0) keeps everyone out, readers too.

#include <windows.h>

#include <string>

namespace tarnix::testsupport {

class FileHold {
 public:
  FileHold(const std::string& path, DWORD share)
      : file_(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~FileHold() { End(); }
  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;

  bool Holding() const { return file_ != INVALID_HANDLE_VALUE; }
  void End() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE file_;
};

}  // namespace tarnix::testsupport
