#include "host/ascii_escape.h"

#include <utility>

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

// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    unsigned long code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1;
      code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2;
      code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3;
      code = lead & 0x07u;
    } else {
      return false;
    }
    if (text.size() - i <= static_cast<size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    if ((extra == 2 && code < 0x800) || (extra == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

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
  if (!IsUtf8(out)) return false;
  *utf8 = std::move(out);
  return true;
}

}  // namespace tarnix
