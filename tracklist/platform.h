#pragma once
// The few operating-system calls the track list core needs, behind one seam: Win32 ANSI calls
// on Windows, POSIX equivalents for the native build. Paths are in the system's ANSI spelling
// with "\" separators; the POSIX side maps "\" to "/" where it touches the file system.
// Handles are opaque pointers so that no caller needs <windows.h>.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "tracklist/text_string.h"

namespace tarnix {

// The window's text; empty for no window.
TextString FromWindowText(void* window);
// The full path of a loaded module (null = the process's executable), however long it is.
TextString FromModuleFileName(void* module);
// A value from an ini file, however long it is; `def` when the key is missing.
TextString FromProfileString(const TextString& section, const TextString& key, const TextString& def,
                             const TextString& file);

namespace platform {

// Calls `visit` with the name (no directory) of every file matching `pattern` (such as
// "dir\*.trk"), directories skipped, in the order the system lists them, until it returns false.
void EnumerateFiles(const TextString& pattern, const std::function<bool(const TextString& name)>& visit);

std::FILE* OpenFile(const TextString& path, const char* mode);

// Replaces `target` by `source` in one step; on failure `target` is left as it was.
bool ReplaceExisting(const TextString& source, const TextString& target);

bool RemoveFile(const TextString& path);

// Moves the stream to an absolute byte offset; works past 2 GB on both widths.
bool SeekFile(std::FILE* file, uint64_t offset);
// The stream's size in bytes, or -1 when it can't be told. Leaves the position undefined.
int64_t FileSizeOf(std::FILE* file);

// Owns one C file stream: closes it on destruction unless Close was called.
class File {
 public:
  File(const TextString& path, const char* mode) : file_(OpenFile(path, mode)) {}
  ~File() {
    if (file_) std::fclose(file_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  std::FILE* get() const { return file_; }
  explicit operator bool() const { return file_ != nullptr; }
  // Closes now and tells whether everything buffered reached the file.
  bool Close() {
    if (!file_) return false;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }

 private:
  std::FILE* file_;
};

// --- Directory listing with what the listing itself tells of each file ---

// One file as the directory listing reports it, without opening the file.
struct ListedFile {
  TextString name;        // no directory
  int64_t size = 0;       // bytes
  int64_t writeTime = 0;  // last write, in 100 ns units since 1601-01-01 UTC
};

// Like EnumerateFiles, with each file's size and last-write time from the listing.
void EnumerateListedFiles(const TextString& pattern, const std::function<bool(const ListedFile& file)>& visit);

// The system's clock in the units of ListedFile::writeTime.
int64_t SystemFileTime();

}  // namespace platform

// Code-page conversion between UTF-8 (the importers' texts) and the ANSI code page the rest
// of the plug-in uses. Win32 asks the system; the native build treats the ANSI code page as
// Windows-1252.
namespace platform {

// The ANSI bytes as UTF-8.
std::string Utf8FromAnsi(std::string_view ansi);
// The UTF-8 text in the ANSI code page; a character the code page cannot show, and any byte
// that is not valid UTF-8, becomes "?". A NUL ends the text.
TextString AnsiFromUtf8(std::string_view utf8);

}  // namespace platform
}  // namespace tarnix
