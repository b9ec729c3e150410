// The Win32 side of the seam: wide calls, so a path or a text outside the ANSI code page
// reaches the system whole. Texts arrive and leave as UTF-8.

#include <windows.h>

#include <io.h>

#include <climits>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "tracklist/long_path.h"
#include "tracklist/platform.h"
#include "tracklist/system_path_win32.h"
#include "tracklist/utf8_text.h"
#include "win32/handles.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

TextString TextFromWide(std::wstring_view wide) {
  const std::string utf8 = Utf8FromWide(wide);
  return TextString(static_cast<int>(utf8.size()), utf8.c_str());
}

std::wstring Wide(const TextString& text) {
  return WideFromUtf8(std::string_view(text.c_str(), static_cast<size_t>(text.Length())));
}

// Fills a wide buffer from a call that truncates its output, doubling the buffer until the
// result fits. `call` returns the units written, or size - 1 or more (or a negative value)
// when the result did not fit.
template <typename Call>
std::wstring FillWide(Call call) {
  std::wstring buffer(64, L'\0');
  for (;;) {
    const int size = static_cast<int>(buffer.size());
    buffer[0] = L'\0';
    const int n = call(&buffer[0], size);
    if (n >= 0 && n < size - 1) {
      buffer.resize(static_cast<size_t>(n));
      return buffer;
    }
    if (size > INT_MAX / 8) throw std::bad_alloc();
    buffer.assign(static_cast<size_t>(size) * 2, L'\0');
  }
}

}  // namespace

TextString FromWindowText(void* window) {
  HWND hwnd = static_cast<HWND>(window);
  if (!hwnd) return TextString();
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return TextString();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return TextFromWide(text);
}

TextString FromModuleFileName(void* module) {
  return TextFromWide(FillWide([module](wchar_t* buffer, int size) {
    const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(module), buffer, static_cast<DWORD>(size));
    if (n == 0) return 0;  // no such module: the empty string
    return n > static_cast<DWORD>(INT_MAX) ? -1 : static_cast<int>(n);
  }));
}

TextString FromProfileString(const TextString& section, const TextString& key, const TextString& def,
                             const TextString& file) {
  const std::wstring wideSection = Wide(section), wideKey = Wide(key), wideDefault = Wide(def), wideFile = Wide(file);
  return TextFromWide(FillWide([&](wchar_t* buffer, int size) {
    const DWORD n = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideDefault.c_str(), buffer,
                                             static_cast<DWORD>(size), wideFile.c_str());
    return static_cast<int>(n);
  }));
}

namespace platform {

std::wstring SystemPath(const TextString& path) {
  std::wstring wide = Wide(path);
  if (wide.size() < kClassicPathLimit) return wide;
  // The long form skips the system's normalisation, so the path is made full first ("." and
  // "..", "/" for "\", a relative path); that call takes long paths itself.
  const std::wstring full = FillWide([&](wchar_t* buffer, int size) {
    const DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(size), buffer, nullptr);
    if (n == 0) return 0;
    return n >= static_cast<DWORD>(size) ? -1 : static_cast<int>(n);
  });
  return LongPathForm(full.empty() ? wide : full);
}

void EnumerateFiles(const TextString& pattern, const std::function<bool(const TextString& name)>& visit) {
  EnumerateListedFiles(pattern, [&](const ListedFile& file) { return visit(file.name); });
}

std::FILE* OpenFile(const TextString& path, const char* mode) {
  if (path.IsEmpty()) return nullptr;
  const std::wstring widePath = SystemPath(path);
  if (widePath.empty()) return nullptr;
  std::wstring wideMode;
  for (const char* m = mode; *m; ++m) wideMode.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*m)));
  return _wfopen(widePath.c_str(), wideMode.c_str());
}

// The new file takes the old one's place whole, and with it what the file's properties show of
// the old one that a rewrite of its contents should not change: when it was made, and whether it
// is hidden. Keeping them is best effort; the replacement stands either way.
bool ReplaceExisting(const TextString& source, const TextString& target) {
  const std::wstring to = SystemPath(target);
  WIN32_FILE_ATTRIBUTE_DATA old{};
  const bool known = GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &old) != 0;
  if (!MoveFileExW(SystemPath(source).c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return false;
  if (!known) return true;
  {
    const FileHandle file(CreateFileW(to.c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) SetFileTime(file.Get(), &old.ftCreationTime, nullptr, nullptr);
  }
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD now = GetFileAttributesW(to.c_str());
  if (now != INVALID_FILE_ATTRIBUTES && (old.dwFileAttributes & kKept) != (now & kKept))
    SetFileAttributesW(to.c_str(), (now & ~kKept) | (old.dwFileAttributes & kKept));
  return true;
}

bool RemoveFile(const TextString& path) { return DeleteFileW(SystemPath(path).c_str()) != 0; }

bool FileExists(const TextString& path) {
  if (path.IsEmpty()) return false;
  const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const TextString& path) {
  return !path.IsEmpty() && GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CreateFolder(const TextString& path) {
  return !path.IsEmpty() && CreateDirectoryW(SystemPath(path).c_str(), nullptr);
}

uint64_t FreeBytesFor(const TextString& path) {
  std::wstring folder = SystemPath(path);
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    const size_t slash = folder.find_last_of(L'\\');
    if (slash == std::wstring::npos) return UINT64_MAX;
    folder.resize(slash);
  }
  // A folder given with its separator is read as a folder also on a share's root.
  folder += L'\\';
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return UINT64_MAX;
  return available.QuadPart;
}

bool FlushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
}

bool SeekFile(std::FILE* file, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

int64_t FileSizeOf(std::FILE* file) {
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  return static_cast<int64_t>(_ftelli64(file));
}

// --- Directory listing with sizes and write times ---

namespace {

int64_t FromFileTime(const FILETIME& t) {
  return static_cast<int64_t>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
}

}  // namespace

void EnumerateListedFiles(const TextString& pattern, const std::function<bool(const ListedFile& file)>& visit) {
  if (pattern.IsEmpty()) return;
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(SystemPath(pattern).c_str(), &data));
  if (!find.Valid()) return;
  ListedFile file;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    file.name = TextFromWide(data.cFileName);
    file.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    file.writeTime = FromFileTime(data.ftLastWriteTime);
    if (!visit(file)) return;
  } while (FindNextFileW(find.Get(), &data));
}

int64_t SystemFileTime() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return FromFileTime(now);
}

}  // namespace platform
// Code-page conversion through UTF-16, the system's own way.
namespace platform {

namespace {

// These code pages refuse both the no-best-fit flag and the question whether a stand-in was used.
bool TakesNoFlags(UINT codePage) {
  return codePage == CP_UTF8 || codePage == CP_UTF7 || codePage == 42 || (codePage >= 50220 && codePage <= 50229) ||
         (codePage >= 57002 && codePage <= 57011);
}

}  // namespace

unsigned AnsiCodePage() { return GetACP(); }

std::string Utf8FromCodePage(unsigned codePage, std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);  // every code page here agrees with ASCII
  if (codePage == CP_UTF8) return Utf8FromWide(WideFromUtf8(bytes));
  return Utf8FromWide(WideFromCodePage(codePage, bytes));
}

std::string Utf8FromAnsi(std::string_view ansi) { return Utf8FromCodePage(GetACP(), ansi); }

TextString AnsiFromUtf8(std::string_view utf8) {
  utf8 = utf8.substr(0, utf8.find('\0'));
  std::wstring wide = WideFromUtf8(utf8);  // invalid bytes arrive as U+FFFD
  // A character beyond the 16-bit plane is two units; it must become one "?", not two.
  size_t kept = 0;
  for (size_t i = 0; i < wide.size(); ++i) {
    const wchar_t c = wide[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
      wide[kept++] = L'?';
      ++i;
    } else {
      wide[kept++] = (c >= 0xD800 && c <= 0xDFFF) ? L'?' : c;
    }
  }
  wide.resize(kept);
  if (wide.empty()) return TextString();
  // No best-fit mapping: a character the code page lacks shows as "?", not as a look-alike.
  const bool anyCharacter = TakesNoFlags(GetACP());
  const DWORD flags = anyCharacter ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* fallback = anyCharacter ? nullptr : "?";
  const int units = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), units, nullptr, 0, fallback, nullptr);
  if (n <= 0) return TextString();
  TextString out;
  out.Reserve(n);
  WideCharToMultiByte(CP_ACP, flags, wide.data(), units, out.Buffer(), n, fallback, nullptr);
  out.SetLength(n);
  return out;
}

bool ExactCodePageFromUtf8(unsigned codePage, std::string_view utf8, std::string* out) {
  out->clear();
  if (IsAscii(utf8)) {
    out->assign(utf8);
    return true;
  }
  const std::wstring wide = WideFromUtf8(utf8);
  if (wide.empty() || Utf8FromWide(wide) != utf8) return false;  // not valid UTF-8
  if (codePage == CP_UTF8) {
    out->assign(utf8);
    return true;
  }
  if (TakesNoFlags(codePage)) return false;  // no way to tell a stand-in from the real thing
  const int units = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int n =
      WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0 || usedDefault) return false;
  out->assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide.data(), units, &(*out)[0], n, nullptr, &usedDefault);
  // The no-best-fit flag promises this; checking costs little and keeps the promise honest.
  return !usedDefault && Utf8FromWide(WideFromCodePage(codePage, *out)) == utf8;
}

bool ExactAnsiFromUtf8(std::string_view utf8, std::string* ansi) { return ExactCodePageFromUtf8(GetACP(), utf8, ansi); }

}  // namespace platform
}  // namespace tarnix
