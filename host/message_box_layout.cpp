#include "host/message_box_layout.h"

#include <algorithm>

namespace tarnix {

namespace {

constexpr MessageBoxButton kOk{1, "&OK"}, kCancel{2, "&Cancel"}, kAbort{3, "&Abort"}, kRetry{4, "&Retry"},
    kIgnore{5, "&Ignore"}, kYes{6, "&Yes"}, kNo{7, "&No"};

// The box's text is one line up to this many pixels.
constexpr int kLineWidthLimit = 250;

}  // namespace

MessageBoxButtons ButtonsForFlags(unsigned flags) {
  switch (flags & 7) {
    case 1:
      return {{kOk, kCancel}, 2};
    case 2:
      return {{kAbort, kRetry, kIgnore}, 3};
    case 3:
      return {{kYes, kNo, kCancel}, 3};
    case 4:
      return {{kYes, kNo}, 2};
    case 5:
      return {{kRetry, kCancel}, 2};
    default:
      return {{kOk}, 1};
  }
}

MessageBoxIcon IconForFlags(unsigned flags) {
  switch (flags & 0x70) {
    case 0x10:
      return MessageBoxIcon::Hand;
    case 0x20:
      return MessageBoxIcon::Question;
    case 0x30:
      return MessageBoxIcon::Exclamation;
    case 0x40:
      return MessageBoxIcon::Asterisk;
    default:
      return MessageBoxIcon::None;
  }
}

int DefaultButtonIndex(unsigned flags, int buttonCount) {
  const int index = static_cast<int>((flags & 0x300) >> 8);
  return index < buttonCount ? index : -1;
}

bool HasSystemMenu(unsigned flags) {
  const unsigned set = flags & 7;
  return set == 3 || set == 5;
}

void WrapMessageText(std::string& text, std::size_t lineLength) {
  if (lineLength == 0) return;
  std::size_t start = 0;
  while (text.size() - start > lineLength) {
    std::size_t p = start + lineLength;
    while (p > start && text[p] != ' ' && text[p] != '\\') --p;
    if (p == start) return;  // no break point in this stretch: leave the rest as it is
    if (text[p] == ' ') {
      text[p] = '\n';
    } else {
      text.insert(p + 1, 1, '\n');
    }
    start = p + 1;
  }
}

std::size_t WrapLineLength(std::size_t characters, int oneLineWidth) {
  const int n = std::max(oneLineWidth, 0) / kLineWidthLimit + 1;
  if (n <= 1) return 0;
  return characters / static_cast<std::size_t>(n) + 5;
}

TextLines SplitLines(const std::string& text) {
  TextLines lines;
  lines.count = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    ++lines.count;
    if (end - start > lines.longestLength) {
      lines.longestStart = start;
      lines.longestLength = end - start;
    }
    if (end == text.size()) break;
    start = end + 1;
  }
  return lines;
}

MessageBoxGeometry LayoutMessageBox(bool hasIcon, int longestLineWidth, int lineCount, int textMetricHeight,
                                    int buttonCount) {
  MessageBoxGeometry g;
  buttonCount = std::clamp(buttonCount, 1, 3);
  g.textX = hasIcon ? 60 : 30;
  g.textWidth = longestLineWidth + 10;
  g.textHeight = lineCount * (textMetricHeight - 3);
  g.textY = std::max(29 - g.textHeight / 2, 10);
  g.iconX = 15;
  g.iconY = g.textY + g.textHeight / 2 - 15;
  g.windowWidth = std::max(g.textX + g.textWidth, buttonCount * 80 + 30);
  const int h = std::max(g.textY + g.textHeight, 44);
  g.windowHeight = h + 73;
  g.buttonY = h + 13;
  const int c = g.windowWidth / 2;
  switch (buttonCount) {
    case 1:
      g.buttonX = {c - 41, 0, 0};
      break;
    case 2:
      g.buttonX = {c - 83, c + 2, 0};
      break;
    default:
      g.buttonX = {c - 126, c - 41, c + 45};
      break;
  }
  return g;
}

}  // namespace tarnix
