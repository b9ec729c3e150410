// The message box's arithmetic: button sets, icons and default buttons by flag, the wrapping
// of long texts and paths, and where text, icon and buttons go.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/message_box_layout.h"

namespace tarnix {
namespace {

TEST(MessageBoxFlags, ButtonSetsInOrder) {
  struct Case {
    unsigned flags;
    std::vector<int> ids;
    std::vector<std::string> captions;
  };
  const Case cases[] = {
      {0, {1}, {"&OK"}},
      {1, {1, 2}, {"&OK", "&Cancel"}},
      {2, {3, 4, 5}, {"&Abort", "&Retry", "&Ignore"}},
      {3, {6, 7, 2}, {"&Yes", "&No", "&Cancel"}},
      {4, {6, 7}, {"&Yes", "&No"}},
      {5, {4, 2}, {"&Retry", "&Cancel"}},
      {6, {1}, {"&OK"}},
      {7, {1}, {"&OK"}},
      {0x334, {6, 7}, {"&Yes", "&No"}},  // other bits do not change the set
  };
  for (const Case& c : cases) {
    const MessageBoxButtons b = ButtonsForFlags(c.flags);
    ASSERT_EQ(b.count, static_cast<int>(c.ids.size())) << c.flags;
    for (int i = 0; i < b.count; ++i) {
      EXPECT_EQ(b.buttons[i].id, c.ids[i]) << c.flags << " #" << i;
      EXPECT_EQ(b.buttons[i].caption, c.captions[i]) << c.flags << " #" << i;
    }
  }
}

TEST(MessageBoxFlags, IconsSystemMenuAndDefaultButton) {
  const std::pair<unsigned, MessageBoxIcon> icons[] = {
      {0x00, MessageBoxIcon::None},        {0x10, MessageBoxIcon::Hand},         {0x20, MessageBoxIcon::Question},
      {0x30, MessageBoxIcon::Exclamation}, {0x40, MessageBoxIcon::Asterisk},     {0x50, MessageBoxIcon::None},
      {0x70, MessageBoxIcon::None},        {0x134, MessageBoxIcon::Exclamation},
  };
  for (auto [flags, icon] : icons) EXPECT_EQ(IconForFlags(flags), icon) << flags;

  for (unsigned set = 0; set < 8; ++set) EXPECT_EQ(HasSystemMenu(set | 0x30), set == 3 || set == 5) << set;

  struct Case {
    unsigned flags;
    int buttons, index;
  };
  const Case defaults[] = {
      {0x000, 1, 0}, {0x100, 1, -1}, {0x100, 2, 1},  {0x200, 2, -1},
      {0x200, 3, 2}, {0x300, 3, -1}, {0x324, 2, -1}, {0x024, 2, 0},
  };
  for (const Case& c : defaults)
    EXPECT_EQ(DefaultButtonIndex(c.flags, c.buttons), c.index) << c.flags << "/" << c.buttons;
}

TEST(MessageBoxWrap, LineLengthFollowsTheMeasuredWidth) {
  EXPECT_EQ(WrapLineLength(40, 0), 0u);
  EXPECT_EQ(WrapLineLength(40, 249), 0u);   // under 250 px: one line
  EXPECT_EQ(WrapLineLength(40, 250), 25u);  // two lines: 40 / 2 + 5
  EXPECT_EQ(WrapLineLength(90, 749), 35u);  // three lines: 90 / 3 + 5
  EXPECT_EQ(WrapLineLength(100, -5), 0u);   // a failed measurement keeps one line
}

TEST(MessageBoxWrap, BreaksAtSpacesAndAfterBackslashes) {
  struct Case {
    const char* text;
    std::size_t width;
    const char* wrapped;
  };
  const Case cases[] = {
      {"aaa bbb ccc", 5, "aaa\nbbb\nccc"},
      {"ab\\cd\\ef", 3, "ab\\\ncd\\\nef"},
      {"short", 10, "short"},
      {"exactly10!", 10, "exactly10!"},
      {" abcdef", 3, " abcdef"},                 // a break point at the start counts as none
      {"abcdefgh ij", 4, "abcdefgh ij"},         // no break in the first stretch: stop at once
      {"ab cdefghij kl", 4, "ab\ncdefghij kl"},  // stops at the first stretch without one
      {"ab\ncd ef", 4, "ab\ncd ef"},             // a line feed is not a break point
      {"", 3, ""},
      {"a b", 0, "a b"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    WrapMessageText(text, c.width);
    EXPECT_EQ(text, c.wrapped) << '"' << c.text << "\" at " << c.width;
  }
}

TEST(MessageBoxWrap, LongPathBreaksAfterSeparatorsKeepingThem) {
  const std::string path =
      "D:\\Music\\Bookmarks\\Live_Recordings\\Festival_2000_Main_Stage\\Second_Night\\"
      "concert_recording_2000_07_03.trk";
  const std::string original = "Couldn't save " + path;
  std::string text = original;
  const std::size_t width = WrapLineLength(text.size(), 3 * 250 + 10);  // measured ~760 px
  ASSERT_GT(width, 0u);
  WrapMessageText(text, width);

  std::vector<std::string> lines;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  ASSERT_GE(lines.size(), 3u) << text;
  EXPECT_EQ(lines[0].rfind("Couldn't save D:\\", 0), 0u) << lines[0];
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    ASSERT_FALSE(lines[i].empty());
    EXPECT_EQ(lines[i].back(), '\\') << "line " << i << ": " << lines[i];
    EXPECT_LE(lines[i].size(), width + 1) << lines[i];
  }
  // Nothing is lost: dropping the inserted line feeds gives the text back.
  std::string rebuilt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n')
      rebuilt += text[i];
    else if (i > 0 && text[i - 1] != '\\')
      rebuilt += ' ';
  }
  EXPECT_EQ(rebuilt, original);
}

TEST(MessageBoxWrap, SplitLinesFindsTheFirstLongestLine) {
  struct Case {
    const char* text;
    int count;
    std::size_t start, length;
  };
  const Case cases[] = {
      {"", 1, 0, 0}, {"one line", 1, 0, 8}, {"ab\ncde\nfgh", 3, 3, 3}, {"abc\n", 2, 0, 3}, {"\n\nxy", 3, 2, 2},
  };
  for (const Case& c : cases) {
    const TextLines lines = SplitLines(c.text);
    EXPECT_EQ(lines.count, c.count) << c.text;
    EXPECT_EQ(lines.longestStart, c.start) << c.text;
    EXPECT_EQ(lines.longestLength, c.length) << c.text;
  }
}

TEST(MessageBoxLayout, ShortTextOneButton) {
  const MessageBoxGeometry g = LayoutMessageBox(false, 100, 1, 16, 1);
  EXPECT_EQ(g.textX, 30);
  EXPECT_EQ(g.textWidth, 110);
  EXPECT_EQ(g.textHeight, 13);
  EXPECT_EQ(g.textY, 23);
  EXPECT_EQ(g.windowWidth, 140);
  EXPECT_EQ(g.windowHeight, 44 + 73);  // text area at least 44 pixels down
  EXPECT_EQ(g.buttonY, 57);
  EXPECT_EQ(g.buttonX[0], 70 - 41);
}

TEST(MessageBoxLayout, MinimumWidthAndButtonRows) {
  struct Case {
    int buttons;
    std::array<int, 3> x;
  };
  // A tiny text: the width is 30 + 80 per button, the row centred on it.
  const Case cases[] = {
      {1, {55 - 41, 0, 0}},
      {2, {95 - 83, 95 + 2, 0}},
      {3, {135 - 126, 135 - 41, 135 + 45}},
  };
  for (const Case& c : cases) {
    const MessageBoxGeometry g = LayoutMessageBox(false, 5, 1, 16, c.buttons);
    EXPECT_EQ(g.windowWidth, 30 + 80 * c.buttons) << c.buttons;
    for (int i = 0; i < c.buttons; ++i) EXPECT_EQ(g.buttonX[i], c.x[i]) << c.buttons << "#" << i;
    // Buttons never overlap and stay inside the box.
    for (int i = 1; i < c.buttons; ++i) EXPECT_GE(g.buttonX[i] - g.buttonX[i - 1], MessageBoxGeometry::kButtonWidth);
    EXPECT_GE(g.buttonX[0], 0);
    EXPECT_LE(g.buttonX[c.buttons - 1] + MessageBoxGeometry::kButtonWidth, g.windowWidth);
  }
}

TEST(MessageBoxLayout, TallTextAndIcon) {
  const MessageBoxGeometry tall = LayoutMessageBox(false, 300, 10, 16, 2);
  EXPECT_EQ(tall.textHeight, 130);
  EXPECT_EQ(tall.textY, 10);  // 29 - 65 would be above the top
  EXPECT_EQ(tall.windowWidth, 340);
  EXPECT_EQ(tall.buttonY, 140 + 13);
  EXPECT_EQ(tall.windowHeight, 140 + 73);

  const MessageBoxGeometry icon = LayoutMessageBox(true, 200, 2, 16, 1);
  EXPECT_EQ(icon.textX, 60);
  EXPECT_EQ(icon.textY, 29 - 13);
  EXPECT_EQ(icon.iconX, 15);
  EXPECT_EQ(icon.iconY, 16 + 13 - 15);
  EXPECT_EQ(icon.windowWidth, 60 + 210);
}

}  // namespace
}  // namespace tarnix
