#include "testhost/wide_names.h"

#include <windows.h>

namespace tarnix::testhost {

std::wstring WideName(const std::string& name) {
  if (name.empty()) return std::wstring();
  const int bytes = static_cast<int>(name.size());
  UINT codePage = CP_UTF8;
  int units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, name.data(), bytes, nullptr, 0);
  if (units <= 0) {
    codePage = CP_ACP;
    units = MultiByteToWideChar(codePage, 0, name.data(), bytes, nullptr, 0);
  }
  if (units <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(units), L'\0');
  MultiByteToWideChar(codePage, 0, name.data(), bytes, wide.data(), units);
  return wide;
}

std::string Utf8Name(const std::wstring& name) {
  if (name.empty()) return std::string();
  const int units = static_cast<int>(name.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, name.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, name.data(), units, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

}  // namespace tarnix::testhost
