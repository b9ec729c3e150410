// The POSIX side of the seam, for the native build, its tests, fuzzers and benchmarks.

#include <dirent.h>
#include <fnmatch.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <fcntl.h>
#include <time.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tracklist/fill_buffer.h"
#include "tracklist/platform.h"
#include "tracklist/utf8_text.h"

namespace tarnix {

namespace {

std::string FileSystemPath(const TextString& path) {
  std::string out(path.c_str(), static_cast<size_t>(path.Length()));
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

}  // namespace

TextString FromWindowText(void*) { return TextString(); }

TextString FromModuleFileName(void*) {
  return FillTruncating([](char* buffer, int size) {
    const ssize_t n = readlink("/proc/self/exe", buffer, static_cast<size_t>(size));
    if (n < 0) return 0;  // no path to tell: the empty string
    buffer[n < size ? n : size - 1] = '\0';
    return static_cast<int>(n);
  });
}

TextString FromProfileString(const TextString& section, const TextString& key, const TextString& def,
                             const TextString& file) {
  platform::File in(file, "rb");
  if (!in) return def;
  const std::string want_section(section.c_str());
  const std::string want_key(key.c_str());
  bool in_section = false;
  TextString line;
  while (line.ReadLine(in.get())) {
    const std::string text = Trim(line.c_str());
    if (!text.empty() && text[0] == '[') {
      const size_t close = text.find(']');
      in_section = close != std::string::npos && EqualNoCase(Trim(text.substr(1, close - 1)), want_section);
      continue;
    }
    if (!in_section) continue;
    const size_t eq = text.find('=');
    if (eq == std::string::npos) continue;
    if (!EqualNoCase(Trim(text.substr(0, eq)), want_key)) continue;
    std::string value = Trim(text.substr(eq + 1));
    // Like the system reader: one pair of surrounding quotes is removed.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    // The file is in the ANSI code page, the value leaves as UTF-8, as on Windows.
    const std::string utf8 = platform::Utf8FromAnsi(value);
    return TextString(static_cast<int>(utf8.size()), utf8.c_str());
  }
  return def;
}

namespace platform {

void EnumerateFiles(const TextString& pattern, const std::function<bool(const TextString& name)>& visit) {
  EnumerateListedFiles(pattern, [&](const ListedFile& file) { return visit(file.name); });
}

std::FILE* OpenFile(const TextString& path, const char* mode) {
  if (path.IsEmpty()) return nullptr;
  return std::fopen(FileSystemPath(path).c_str(), mode);
}

bool ReplaceExisting(const TextString& source, const TextString& target) {
  return std::rename(FileSystemPath(source).c_str(), FileSystemPath(target).c_str()) == 0;
}

bool RemoveFile(const TextString& path) { return std::remove(FileSystemPath(path).c_str()) == 0; }

bool FileExists(const TextString& path) {
  struct stat info;
  return !path.IsEmpty() && stat(FileSystemPath(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool PathExists(const TextString& path) {
  struct stat info;
  return !path.IsEmpty() && stat(FileSystemPath(path).c_str(), &info) == 0;
}

bool CreateFolder(const TextString& path) { return !path.IsEmpty() && mkdir(FileSystemPath(path).c_str(), 0777) == 0; }

bool FlushToDisk(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

uint64_t FreeBytesFor(const TextString& path) {
  std::string name = FileSystemPath(path);
  struct stat info;
  if (stat(name.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    const size_t slash = name.rfind('/');
    name = slash == std::string::npos ? "." : slash == 0 ? "/" : name.substr(0, slash);
  }
  struct statvfs volume;
  if (statvfs(name.c_str(), &volume) != 0) return UINT64_MAX;
  return static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
}

bool SeekFile(std::FILE* file, uint64_t offset) {
  if (offset > static_cast<uint64_t>(INT64_MAX)) return false;
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t FileSizeOf(std::FILE* file) {
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  return static_cast<int64_t>(ftello(file));
}

// --- Directory listing with sizes and write times ---

namespace {

// Seconds from 1601-01-01 to 1970-01-01, the two clocks' origins.
constexpr int64_t kUnixEpochIn1601 = 11644473600LL;

int64_t FileTimeOf(const struct timespec& t) {
  return (static_cast<int64_t>(t.tv_sec) + kUnixEpochIn1601) * 10000000 + t.tv_nsec / 100;
}

}  // namespace

void EnumerateListedFiles(const TextString& pattern, const std::function<bool(const ListedFile& file)>& visit) {
  const TextString directory = pattern.DirectoryPart();
  const std::string mask = FileSystemPath(pattern.FileNamePart());
  std::string dir = FileSystemPath(directory);
  if (directory.IsEmpty() && pattern.Length() > 0 && (pattern[0] == '\\')) dir = "/";
  if (dir.empty()) dir = ".";
  DIR* handle = opendir(dir.c_str());
  if (!handle) return;
  struct Closer {
    DIR* d;
    ~Closer() { closedir(d); }
  } closer{handle};
  ListedFile file;
  while (dirent* entry = readdir(handle)) {
    if (fnmatch(mask.c_str(), entry->d_name, FNM_CASEFOLD) != 0) continue;
    struct stat info;
    if (fstatat(dirfd(handle), entry->d_name, &info, 0) != 0 || S_ISDIR(info.st_mode)) continue;
    file.name = TextString(entry->d_name);
    file.size = static_cast<int64_t>(info.st_size);
    file.writeTime = FileTimeOf(info.st_mtim);
    if (!visit(file)) return;
  }
}

int64_t SystemFileTime() {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return FileTimeOf(now);
}

}  // namespace platform
// Code-page conversion for the native build: the ANSI code page is taken to be Windows-1252,
// the one the plug-in meets most; other code pages go through iconv.
namespace platform {

namespace {

// Windows-1252 at 0x80 to 0x9F; the five unassigned bytes keep their C1 code points, as the
// system's own conversion does. 0xA0 to 0xFF equal their code points.
constexpr char32_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

char AnsiOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

// Decodes one character at `i` and moves past it; an invalid sequence yields U+FFFD and
// moves past its first byte only.
char32_t NextCharacter(std::string_view s, size_t* i) {
  const unsigned char lead = static_cast<unsigned char>(s[*i]);
  int extra = 0;
  char32_t c = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    ++*i;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1, c = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2, c = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3, c = lead & 0x07, min = 0x10000;
  } else {
    ++*i;
    return 0xFFFD;
  }
  if (s.size() - *i <= static_cast<size_t>(extra)) {
    ++*i;
    return 0xFFFD;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char b = static_cast<unsigned char>(s[*i + static_cast<size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++*i;
      return 0xFFFD;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++*i;
    return 0xFFFD;
  }
  *i += static_cast<size_t>(extra) + 1;
  return c;
}

constexpr unsigned kWestern = 1252;
constexpr unsigned kUtf8 = 65001;

// Holds one iconv conversion; "CP" + the number names Windows' code pages in glibc.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`; a sequence that cannot be converted is replaced by `stand_in`, or
  // ends the conversion with false when there is none.
  bool Convert(std::string_view in, const char* stand_in, std::string* out) {
    char* from = const_cast<char*>(in.data());
    size_t left = in.size();
    char buffer[256];
    while (left > 0) {
      char* to = buffer;
      size_t room = sizeof buffer;
      const size_t r = iconv(cd_, &from, &left, &to, &room);
      out->append(buffer, static_cast<size_t>(to - buffer));
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      if (!stand_in) return false;
      out->append(stand_in);  // EILSEQ or a sequence cut short at the end: skip one byte
      ++from;
      --left;
    }
    char* to = buffer;
    size_t room = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &to, &room);
    out->append(buffer, static_cast<size_t>(to - buffer));
    return true;
  }

 private:
  iconv_t cd_;
};

std::string CodePageName(unsigned codePage) { return "CP" + std::to_string(codePage); }

}  // namespace

unsigned AnsiCodePage() { return kWestern; }

std::string Utf8FromCodePage(unsigned codePage, std::string_view bytes) {
  if (IsAscii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  if (codePage == kWestern) {
    for (const char byte : bytes) {
      const unsigned char b = static_cast<unsigned char>(byte);
      AppendUtf8(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t{b}, &out);
    }
    return out;
  }
  if (codePage == kUtf8) {
    for (size_t i = 0; i < bytes.size();) AppendUtf8(NextCharacter(bytes, &i), &out);
    return out;
  }
  Converter converter("UTF-8", CodePageName(codePage));
  if (!converter.ok()) return std::string();
  converter.Convert(bytes, "\xEF\xBF\xBD", &out);
  return out;
}

std::string Utf8FromAnsi(std::string_view ansi) { return Utf8FromCodePage(kWestern, ansi); }

TextString AnsiFromUtf8(std::string_view utf8) {
  utf8 = utf8.substr(0, utf8.find('\0'));
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) out.push_back(AnsiOf(NextCharacter(utf8, &i)));
  return TextString(static_cast<int>(out.size()), out.c_str());
}

bool ExactCodePageFromUtf8(unsigned codePage, std::string_view utf8, std::string* out) {
  out->clear();
  if (IsAscii(utf8)) {
    out->assign(utf8);
    return true;
  }
  out->reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const size_t at = i;
    const char32_t c = NextCharacter(utf8, &i);
    // U+FFFD stands for a broken sequence, unless the text really spells it.
    if (c == 0xFFFD && i - at != 3) return false;
    if (codePage == kWestern) {
      const char b = AnsiOf(c);
      if (b == '?' && c != '?') return false;
      out->push_back(b);
    }
  }
  if (codePage == kWestern) return true;
  out->clear();
  if (codePage == kUtf8) {
    out->assign(utf8);
    return true;
  }
  Converter converter(CodePageName(codePage), "UTF-8");
  return converter.ok() && converter.Convert(utf8, nullptr, out);
}

bool ExactAnsiFromUtf8(std::string_view utf8, std::string* ansi) { return ExactCodePageFromUtf8(kWestern, utf8, ansi); }

}  // namespace platform
}  // namespace tarnix
