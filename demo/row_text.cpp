#include "demo/row_text.h"

#include "session/row_layout.h"

#include <cstdio>

namespace tarnix::demo {

std::string RowText(const TrackList& list, ItemId key, bool multiTrack) {
  const bool header = multiTrack && key == kHeaderItem;
  if (!header && list.SubtrackOf(key) == nullptr) return {};
  RowLayout layout;
  layout.multiTrack = multiTrack ? 1 : 0;
  return RowTextFor(list, layout, key).c_str();
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
