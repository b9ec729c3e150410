#pragma once
// Text inside the plug-in is UTF-8; the system's wide calls take UTF-16. These two convert at that
// seam and nowhere else. Invalid UTF-8 arrives as U+FFFD, a lone surrogate leaves as U+FFFD.

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

namespace tarnix {

inline std::wstring WideFromUtf8(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX / 2) return std::wstring();
  const int bytes = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, &wide[0], n);
  return wide;
}

inline std::string Utf8FromWide(std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX / 4) return std::string();
  const int units = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &utf8[0], n, nullptr, nullptr);
  return utf8;
}

}  // namespace tarnix
