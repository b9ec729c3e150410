#include "tracklist/ini_text.h"

#include <cctype>

namespace tarnix {

namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  a = Trimmed(a);
  b = Trimmed(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The section a header line opens, or false for any other line.
bool SectionOf(std::string_view line, std::string_view* name) {
  line = Trimmed(line);
  if (line.empty() || line.front() != '[') return false;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  *name = line.substr(1, close - 1);
  return true;
}

}  // namespace

bool IsWideIniText(std::string_view text) {
  return text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE;
}

std::string WithIniValues(std::string_view text, std::string_view section, const IniValues& values) {
  std::vector<bool> written(values.size(), false);
  std::string out;
  out.reserve(text.size() + 64 * values.size());
  bool inSection = false;
  bool sectionSeen = false;
  // Appends the keys not yet written, at the end of the section being left.
  auto flush = [&] {
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    for (size_t i = 0; i < values.size(); ++i) {
      if (!written[i]) out += values[i].first + "=" + values[i].second + "\r\n";
      written[i] = true;
    }
  };
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string_view::npos ? text.size() : end + 1;
    const std::string_view line = text.substr(start, end - start);
    start = end;
    std::string_view name;
    if (SectionOf(line, &name)) {
      if (inSection) flush();
      inSection = SameName(name, section);
      sectionSeen = sectionSeen || inSection;
      out += line;
      continue;
    }
    if (inSection) {
      const size_t eq = line.find('=');
      if (eq != std::string_view::npos) {
        const std::string_view key = line.substr(0, eq);
        bool replaced = false;
        for (size_t i = 0; i < values.size() && !replaced; ++i) {
          if (!SameName(key, values[i].first)) continue;
          replaced = true;
          if (written[i]) break;  // a repeated key: the first one holds the value
          const bool crlf = line.size() >= 2 && line[line.size() - 2] == '\r';
          out += values[i].first + "=" + values[i].second + (crlf || line.back() != '\n' ? "\r\n" : "\n");
          written[i] = true;
        }
        if (replaced) continue;
      }
    }
    out += line;
  }
  if (inSection) flush();
  if (!sectionSeen) {
    if (!out.empty() && out.back() != '\n') out += "\r\n";
    out += "[" + std::string(section) + "]\r\n";
    flush();
  }
  return out;
}

}  // namespace tarnix
