// The Win32 side of the seam: ANSI calls, so paths keep the bytes the player gives us.

#include <windows.h>

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "tracklist/fill_buffer.h"
#include "tracklist/platform.h"
#include "win32/handles.h"

namespace tarnix {

TextString FromWindowText(void* window) {
  HWND hwnd = static_cast<HWND>(window);
  if (!hwnd) return TextString();
  TextString text;
  const int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return text;
  text.Reserve(length);
  const int got = GetWindowTextA(hwnd, text.Buffer(), text.Capacity() + 1);
  text.SetLength(got > 0 ? got : 0);
  return text;
}

TextString FromModuleFileName(void* module) {
  return FillTruncating([module](char* buffer, int size) {
    const DWORD n = GetModuleFileNameA(static_cast<HMODULE>(module), buffer, static_cast<DWORD>(size));
    if (n == 0) return 0;  // no such module: the empty string
    return n > static_cast<DWORD>(INT_MAX) ? -1 : static_cast<int>(n);
  });
}

TextString FromProfileString(const TextString& section, const TextString& key, const TextString& def,
                             const TextString& file) {
  return FillTruncating([&](char* buffer, int size) {
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                             static_cast<DWORD>(size), file.c_str());
    return static_cast<int>(n);
  });
}

namespace platform {

void EnumerateFiles(const TextString& pattern, const std::function<bool(const TextString& name)>& visit) {
  EnumerateListedFiles(pattern, [&](const ListedFile& file) { return visit(file.name); });
}

std::FILE* OpenFile(const TextString& path, const char* mode) {
  if (path.IsEmpty()) return nullptr;
  return std::fopen(path.c_str(), mode);
}

bool ReplaceExisting(const TextString& source, const TextString& target) {
  return MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const TextString& path) { return DeleteFileA(path.c_str()) != 0; }

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
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA(pattern.c_str(), &data));
  if (!find.Valid()) return;
  ListedFile file;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    file.name = TextString(data.cFileName);
    file.size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    file.writeTime = FromFileTime(data.ftLastWriteTime);
    if (!visit(file)) return;
  } while (FindNextFileA(find.Get(), &data));
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

std::wstring WideFrom(UINT codePage, std::string_view text) {
  if (text.empty() || text.size() > INT_MAX / 2) return std::wstring();
  const int bytes = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), bytes, &wide[0], n);
  return wide;
}

}  // namespace

std::string Utf8FromAnsi(std::string_view ansi) {
  const std::wstring wide = WideFrom(CP_ACP, ansi);
  if (wide.empty()) return std::string();
  const int units = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &out[0], n, nullptr, nullptr);
  return out;
}

TextString AnsiFromUtf8(std::string_view utf8) {
  utf8 = utf8.substr(0, utf8.find('\0'));
  std::wstring wide = WideFrom(CP_UTF8, utf8);  // invalid bytes arrive as U+FFFD
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
  // A system whose ANSI code page is UTF-8 can show everything and refuses both options.
  const bool anyCharacter = GetACP() == CP_UTF8;
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

}  // namespace platform
}  // namespace tarnix
