#include "import/utf8.h"

namespace tarnix {

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

std::string ExactName(std::string_view text) {
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
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      out.push_back(' ');
    } else {
      out.append(valid, i, n);
    }
    i += n;
  }
  return out;
}

std::string CleanName(std::string_view text) {
  std::string out = ExactName(text);
  for (char& c : out) {
    if (c == '\t') c = ' ';
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
