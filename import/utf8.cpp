#include "import/utf8.h"

namespace tarnix {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x80) return 1;
  size_t n = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3;
    if (lead == 0xE0) lo = 0xA0;  // overlong
    if (lead == 0xED) hi = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4;
    if (lead == 0xF0) lo = 0x90;  // overlong
    if (lead == 0xF4) hi = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (s.size() - i < n) return 0;
  const unsigned char second = static_cast<unsigned char>(s[i + 1]);
  if (second < lo || second > hi) return 0;
  for (size_t k = 2; k < n; ++k) {
    if (!IsContinuation(static_cast<unsigned char>(s[i + k]))) return 0;
  }
  return n;
}

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Folds one character for comparison: ASCII and Latin-1 capitals to small letters. Returns the
// code point (or the byte, for anything that is not a well-formed sequence) and moves past it.
unsigned long FoldedNext(std::string_view s, size_t* i) {
  const size_t n = Utf8SequenceLength(s, *i);
  const unsigned char lead = static_cast<unsigned char>(s[*i]);
  if (n <= 1) {
    ++*i;
    return (lead >= 'A' && lead <= 'Z') ? lead + 32u : lead;
  }
  unsigned long c = lead & (0xFF >> (n + 1));
  for (size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[*i + k]) & 0x3F);
  *i += n;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) c += 32;
  return c;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t n = Utf8SequenceLength(text, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    *out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out += static_cast<char>(0xC0 | cp >> 6);
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out += static_cast<char>(0xE0 | cp >> 12);
    *out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | cp >> 18);
    *out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string ValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size();) {
    const size_t length = Utf8SequenceLength(bytes, at);
    if (length == 0) {
      AppendUtf8(kReplacement, &out);
      ++at;
    } else {
      out.append(bytes, at, length);
      at += length;
    }
  }
  return out;
}

std::string CleanName(std::string_view text) {
  // Only the first characters matter: a longer text is cut before it is cleaned, so cleaning
  // costs no more than the name can hold.
  text = text.substr(0, text.find('\0'));
  const std::string valid = ValidUtf8(text.substr(0, kMaxImportedNameChars * 4 + 4));
  std::string out;
  out.reserve(valid.size());
  size_t chars = 0;
  for (size_t i = 0; i < valid.size() && chars < kMaxImportedNameChars; ++chars) {
    const size_t n = Utf8SequenceLength(valid, i);
    const unsigned char c = static_cast<unsigned char>(valid[i]);
    if (c < 0x20 || c == 0x7F) {
      out.push_back(' ');
    } else {
      out.append(valid, i, n);
    }
    i += n;
  }
  const size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (FoldedNext(a, &i) != FoldedNext(b, &j)) return false;
  }
  return i == a.size() && j == b.size();
}

std::string_view FileNameOf(std::string_view path) {
  const size_t cut = path.find_last_of("\\/:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace tarnix
