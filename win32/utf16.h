#pragma once
// Text inside the plug-in is UTF-8; the system's wide calls take UTF-16. These convert at that
// seam and nowhere else: UTF-8 both ways, and the code pages that plugin.ini and older players
// speak. Invalid UTF-8 arrives as U+FFFD, a lone surrogate leaves as U+FFFD.

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

namespace tarnix {

// The bytes as the code page reads them.
inline std::wstring WideFromCodePage(UINT codePage, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX / 2) return std::wstring();
  const int count = static_cast<int>(bytes.size());
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), count, &wide[0], n);
  return wide;
}

// The text in the code page as the system writes it: its best fit, then its default character,
// for what the code page lacks (UTF-8 lacks nothing).
inline std::string CodePageFromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX / 4) return std::string();
  const int units = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(codePage, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), units, &bytes[0], n, nullptr, nullptr);
  return bytes;
}

inline std::wstring WideFromUtf8(std::string_view utf8) { return WideFromCodePage(CP_UTF8, utf8); }

inline std::string Utf8FromWide(std::wstring_view wide) { return CodePageFromWide(CP_UTF8, wide); }

}  // namespace tarnix
