#pragma once
// The few operating-system calls the track list core needs, behind one seam: Win32 wide calls
// on Windows, POSIX equivalents for the native build. Every text and path crossing the seam is
// UTF-8, with "\" separators; the Win32 side converts to UTF-16 for the system, the POSIX side
// maps "\" to "/" where it touches the file system. Handles are opaque pointers so that no
// caller needs <windows.h>.

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
// A value from an ini file, however long it is; `def` when the key is missing. The file itself
// is read in the ANSI code page (an ini file without a byte-order mark), the value returned
// in UTF-8.
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

// Whether `path` names an existing file (a folder does not count).
bool FileExists(const TextString& path);
// Whether `path` names anything that exists, a file or a folder.
bool PathExists(const TextString& path);
// Creates one folder (its parent must exist); false when it could not be made or was already
// there.
bool CreateFolder(const TextString& path);

// Pushes the stream's buffer to the system and asks the system to put the file's data on the
// disk itself (not only in its cache); false when either fails.
bool FlushToDisk(std::FILE* file);

// The bytes free for the calling user on the volume that holds `path` (a file or a folder);
// UINT64_MAX when the system cannot tell.
uint64_t FreeBytesFor(const TextString& path);

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

// Code-page conversion between UTF-8, the plug-in's own text, and the narrow code pages of the
// player's narrow answers, old list files, plugin.ini and cue sheets. Win32 asks the system; the
// native build treats the ANSI code page as Windows-1252 and asks iconv for the others.
namespace platform {

// The system's ANSI code page (1252 in the native build).
unsigned AnsiCodePage();

// The ANSI bytes as UTF-8.
std::string Utf8FromAnsi(std::string_view ansi);
// `bytes` in code page `codePage` as UTF-8; a byte sequence the code page does not define
// arrives as U+FFFD (or the code page's own stand-in). A code page the system does not know
// gives the empty text.
std::string Utf8FromCodePage(unsigned codePage, std::string_view bytes);

// The UTF-8 text in the ANSI code page; a character the code page cannot show, and any byte
// that is not valid UTF-8, becomes "?". A NUL ends the text.
TextString AnsiFromUtf8(std::string_view utf8);
// The UTF-8 text in the ANSI code page when the code page holds every character of it exactly
// (no look-alike, no "?"), so that converting back gives `utf8` again; false otherwise, also
// for bytes that are not valid UTF-8, and `ansi` is then unspecified.
bool ExactAnsiFromUtf8(std::string_view utf8, std::string* ansi);
// The same for any code page.
bool ExactCodePageFromUtf8(unsigned codePage, std::string_view utf8, std::string* out);

}  // namespace platform
}  // namespace tarnix
