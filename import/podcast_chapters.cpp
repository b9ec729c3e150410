// The JSON chapters podcasts publish: {"version": ..., "chapters": [{"startTime": 0, "title":
// "..."}, ...]}, entries with "toc": false being for players, not for the table of contents.
// A small reader of its own: only the few members that matter are kept, the rest is checked
// and stepped over, nesting is bounded.

#include <cstdint>
#include <string>
#include <string_view>

#include "import/chapter_files.h"
#include "import/chapter_text.h"

namespace tarnix {

namespace {

constexpr int kMaxNesting = 64;
// Seconds past this (about eleven years) are taken as damage.
constexpr double kMaxSeconds = 3.5e8;

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  bool AtEnd() {
    Blank();
    return pos_ == text_.size();
  }

  // Calls member(key) for each member of an object; member must read the value.
  template <typename Member>
  bool Object(Member&& member) {
    if (!Take('{') || !Deeper()) return false;
    if (Take('}')) return Shallower();
    std::string key;
    do {
      if (!String(&key) || !Take(':') || !member(key)) return false;
    } while (Take(','));
    return Take('}') && Shallower();
  }

  template <typename Element>
  bool Array(Element&& element) {
    if (!Take('[') || !Deeper()) return false;
    if (Take(']')) return Shallower();
    do {
      if (!element()) return false;
    } while (Take(','));
    return Take(']') && Shallower();
  }

  bool Peek(char c) {
    Blank();
    return pos_ < text_.size() && text_[pos_] == c;
  }

  bool String(std::string* out) {
    out->clear();
    if (!Take('"')) return false;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      if (pos_ >= text_.size()) return false;
      const char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out->push_back(e);
          break;
        case 'b':
          out->push_back('\b');
          break;
        case 'f':
          out->push_back('\f');
          break;
        case 'n':
          out->push_back('\n');
          break;
        case 'r':
          out->push_back('\r');
          break;
        case 't':
          out->push_back('\t');
          break;
        case 'u': {
          uint32_t unit = 0;
          if (!Hex4(&unit)) return false;
          if (unit >= 0xD800 && unit <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
            const size_t back = pos_;
            pos_ += 2;
            uint32_t low = 0;
            if (Hex4(&low) && low >= 0xDC00 && low <= 0xDFFF) {
              AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
              break;
            }
            pos_ = back;
          }
          AppendUtf8(unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit, out);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool Number(double* out) {
    Blank();
    const size_t start = pos_;
    bool negative = false;
    if (pos_ < text_.size() && text_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    double value = 0;
    size_t digits = 0;
    for (; pos_ < text_.size() && IsDigit(text_[pos_]); ++pos_, ++digits) value = value * 10 + (text_[pos_] - '0');
    if (digits == 0) return false;
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      double scale = 0.1;
      size_t fraction = 0;
      for (; pos_ < text_.size() && IsDigit(text_[pos_]); ++pos_, ++fraction, scale /= 10)
        value += (text_[pos_] - '0') * scale;
      if (fraction == 0) return false;
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      bool down = false;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) down = text_[pos_++] == '-';
      int exponent = 0;
      size_t expDigits = 0;
      for (; pos_ < text_.size() && IsDigit(text_[pos_]); ++pos_, ++expDigits) {
        if (exponent < 1000) exponent = exponent * 10 + (text_[pos_] - '0');
      }
      if (expDigits == 0) return false;
      for (int i = 0; i < exponent && value != 0 && value < 1e300; ++i) value = down ? value / 10 : value * 10;
    }
    *out = negative ? -value : value;
    return pos_ > start;
  }

  // Any value, checked and left behind.
  bool Skip() {
    Blank();
    if (pos_ >= text_.size()) return false;
    std::string ignored;
    double number = 0;
    bool flag = false;
    switch (text_[pos_]) {
      case '{':
        return Object([&](const std::string&) { return Skip(); });
      case '[':
        return Array([&] { return Skip(); });
      case '"':
        return String(&ignored);
      case 't':
      case 'f':
        return Bool(&flag);
      case 'n':
        return Word("null");
      default:
        return Number(&number);
    }
  }

  bool Bool(bool* out) {
    Blank();
    if (Word("true")) {
      *out = true;
      return true;
    }
    *out = false;
    return Word("false");
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  void Blank() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n'))
      ++pos_;
  }
  bool Take(char c) {
    if (!Peek(c)) return false;
    ++pos_;
    return true;
  }
  bool Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }
  bool Hex4(uint32_t* out) {
    if (text_.size() - pos_ < 4) return false;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_++];
      const int digit = IsDigit(c)               ? c - '0'
                        : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                 : -1;
      if (digit < 0) return false;
      v = v << 4 | static_cast<uint32_t>(digit);
    }
    *out = v;
    return true;
  }
  bool Deeper() { return ++depth_ <= kMaxNesting; }
  bool Shallower() {
    --depth_;
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
};

bool ReadEntry(JsonReader& json, ChapterSet* out) {
  double start = -1;
  bool hasStart = false, toc = true;
  std::string title;
  const bool ok = json.Object([&](const std::string& key) {
    if (key == "startTime" && !json.Peek('"')) return hasStart = json.Number(&start);
    if (key == "title" && json.Peek('"')) return json.String(&title);
    if (key == "toc" && (json.Peek('t') || json.Peek('f'))) return json.Bool(&toc);
    return json.Skip();
  });
  if (ok && hasStart && toc && start >= 0 && start <= kMaxSeconds)
    AddChapter(out, static_cast<int64_t>(start * 1000 + 0.5), title);
  return ok;
}

}  // namespace

bool ParsePodcastChapters(std::string_view utf8, ChapterSet* out) {
  JsonReader json(utf8);
  ChapterSet found;
  std::string text;
  const bool ok = json.Object([&](const std::string& key) {
    if (key == "chapters" && json.Peek('[')) return json.Array([&] { return ReadEntry(json, &found); });
    if ((key == "title" || key == "author") && json.Peek('"')) {
      if (!json.String(&text)) return false;
      (key == "title" ? found.album : found.artist) = CleanName(text);
      return true;
    }
    return json.Skip();
  });
  if (!ok || !json.AtEnd() || found.Empty()) return false;
  *out = std::move(found);
  return true;
}

}  // namespace tarnix
