#include "testhost/player_directory.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "testhost/wide_names.h"
#include "win32/handles.h"

namespace tarnix::testhost {

namespace {

bool MakeDirectories(const std::string& path) {
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      const std::string part = path.substr(0, i);
      if (part.empty() || part.back() == ':') continue;
      if (!CreateDirectoryW(WideName(part).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
      }
    }
  }
  return true;
}

std::string ParentOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

std::string ProgramDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return ParentOf(Utf8Name(std::wstring(buffer.data(), n)));
    buffer.resize(buffer.size() * 2);
  }
}

bool RemoveTree(const std::string& directory) {
  WIN32_FIND_DATAW data;
  {
    FindHandle find(FindFirstFileW(WideName(directory + "\\*").c_str(), &data));
    if (find.Get() != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = Utf8Name(data.cFileName);
        if (name == "." || name == "..") continue;
        const std::string path = directory + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          SetFileAttributesW(WideName(path).c_str(), FILE_ATTRIBUTE_NORMAL);
          DeleteFileW(WideName(path).c_str());
        }
      } while (FindNextFileW(find.Get(), &data));
    }
  }
  RemoveDirectoryW(WideName(directory).c_str());
  return GetFileAttributesW(WideName(directory).c_str()) == INVALID_FILE_ATTRIBUTES;
}

PlayerDirectory::PlayerDirectory(const std::string& nameSuffix) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  std::string base = n > 0 && n <= MAX_PATH ? Utf8Name(std::wstring(temp, n)) : std::string(".\\");
  while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
  char name[64];
  std::snprintf(name, sizeof name, "\\tarnix-player-%lu-%lu-%d", static_cast<unsigned long>(GetCurrentProcessId()),
                static_cast<unsigned long>(GetTickCount()), counter++);
  root_ = base + name + (nameSuffix.empty() ? std::string() : "-" + nameSuffix);
  ok_ = MakeDirectories(Plugins()) && MakeDirectories(Bookmarks()) && MakeDirectories(Skin()) &&
        WriteFile("winamp.ini", "[Winamp]\r\n") && WriteFile("Plugins\\plugin.ini", "");
}

PlayerDirectory::~PlayerDirectory() {
  if (!keep_ && !root_.empty()) RemoveTree(root_);
}

std::string PlayerDirectory::InstallPlugin(const std::string& dllPath, const std::string& fileName) {
  std::string name = fileName;
  if (name.empty()) {
    const size_t cut = dllPath.find_last_of("\\/");
    name = cut == std::string::npos ? dllPath : dllPath.substr(cut + 1);
  }
  const std::string target = Plugins() + "\\" + name;
  return CopyFileW(WideName(dllPath).c_str(), WideName(target).c_str(), FALSE) ? target : std::string();
}

bool PlayerDirectory::WriteIni(const std::string& iniPath, const std::string& section, const std::string& key,
                               const std::string& value) {
  return WritePrivateProfileStringW(WideName(section).c_str(), WideName(key).c_str(), WideName(value).c_str(),
                                    WideName(iniPath).c_str()) != 0;
}

std::string PlayerDirectory::ReadIni(const std::string& iniPath, const std::string& section, const std::string& key,
                                     const std::string& fallback) const {
  std::vector<wchar_t> buffer(256);
  for (;;) {
    const DWORD n =
        GetPrivateProfileStringW(WideName(section).c_str(), WideName(key).c_str(), WideName(fallback).c_str(),
                                 buffer.data(), static_cast<DWORD>(buffer.size()), WideName(iniPath).c_str());
    if (n + 1 < buffer.size()) return Utf8Name(std::wstring(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

bool PlayerDirectory::WriteFile(const std::string& relativePath, const std::string& bytes) {
  const std::string path = root_ + "\\" + relativePath;
  if (!MakeDirectories(ParentOf(path))) return false;
  FileHandle file(
      CreateFileW(WideName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  DWORD written = 0;
  return bytes.empty() || (::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                           written == bytes.size());
}

std::optional<std::string> PlayerDirectory::ReadFile(const std::string& relativePath) const {
  const std::string path = root_ + "\\" + relativePath;
  FileHandle file(CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  DWORD got = 0;
  while (::ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  return bytes;
}

bool PlayerDirectory::Exists(const std::string& relativePath) const {
  return GetFileAttributesW(WideName(root_ + "\\" + relativePath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace tarnix::testhost
