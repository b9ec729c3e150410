#include "demo/row_text.h"

#include <cstdio>

namespace tarnix::demo {

namespace {

std::string JoinWithDash(const std::string& a, const std::string& b) {
  return a.empty() ? b : a + " - " + b;
}

}  // namespace

std::string RowText(const TrackList& list, ItemId key, bool multiTrack) {
  const std::string artist = list.artist.c_str();
  if (key == kHeaderItem) return multiTrack ? JoinWithDash(artist, list.album.c_str()) : std::string();
  const Subtrack* entry = list.SubtrackOf(key);
  if (entry == nullptr) return {};
  const int n = ItemTrack(key);
  const int k = ItemSubtrack(key);
  const int depth = (multiTrack && n > 0 ? 1 : 0) + (k > 0 ? 1 : 0);
  std::string text;
  for (int i = 0; i < depth; ++i) text += "     ";
  const std::string name = entry->name.c_str();
  text += (k == 0 && !multiTrack && !artist.empty()) ? JoinWithDash(artist, name) : name;
  if (k > 0) {
    const long seconds = static_cast<long>(entry->time / 1000);
    char column[32];
    std::snprintf(column, sizeof column, "\t%2ld:%02ld", seconds / 60, seconds % 60);
    text += column;
  }
  return text;
}

std::string DescribeKey(ItemId key) {
  if (key == kHeaderItem) return "header/none";
  char text[48];
  std::snprintf(text, sizeof text, "track %d, sub %d", ItemTrack(key), ItemSubtrack(key));
  return text;
}

std::string Printable(const std::string& rowText) {
  std::string out;
  for (char c : rowText) {
    if (c == '\t') {
      out += "  ";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace tarnix::demo
