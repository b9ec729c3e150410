#include "tracklist/ascii_escape.h"

#include <utility>

#include "tracklist/utf8_text.h"

namespace tarnix {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Printable(unsigned char c) { return c >= 0x20 && c < 0x7F; }

}  // namespace

std::string EscapeToAscii(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (Printable(byte) && c != '%') {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    }
  }
  return out;
}

bool UnescapeFromAscii(std::string_view ascii, std::string* utf8) {
  std::string out;
  out.reserve(ascii.size());
  for (size_t i = 0; i < ascii.size(); ++i) {
    const char c = ascii[i];
    if (!Printable(static_cast<unsigned char>(c))) return false;
    if (c != '%') {
      out += c;
      continue;
    }
    if (ascii.size() - i < 3) return false;
    const int high = HexValue(ascii[i + 1]);
    const int low = HexValue(ascii[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>((high << 4) | low);
    i += 2;
  }
  if (!IsValidUtf8(out)) return false;
  *utf8 = std::move(out);
  return true;
}

}  // namespace tarnix
