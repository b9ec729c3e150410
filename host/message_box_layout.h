#pragma once
// The arithmetic of the plug-in's message box, free of any window: which buttons a flag set
// asks for, how a long text is wrapped, and where the text, icon and buttons go.

#include <array>
#include <cstddef>
#include <string>

namespace tarnix {

// One push button of the box: its control id (also the result it gives) and its caption.
struct MessageBoxButton {
  int id;
  const char* caption;
};

struct MessageBoxButtons {
  std::array<MessageBoxButton, 3> buttons{};
  int count = 0;
};

enum class MessageBoxIcon { None, Hand, Question, Exclamation, Asterisk };

// The buttons of the flags' button set (flags & 7), in order; sets the box does not know
// get a single OK button.
MessageBoxButtons ButtonsForFlags(unsigned flags);
MessageBoxIcon IconForFlags(unsigned flags);
// Index of the default (and focused) button, or -1 when the flags name a button that the set
// does not have.
int DefaultButtonIndex(unsigned flags, int buttonCount);
// Yes/No/Cancel and Retry/Cancel boxes get a system menu with a close box.
bool HasSystemMenu(unsigned flags);

// Breaks `text` in place into lines of about `lineLength` characters: a space at the break
// becomes a line feed, after a backslash a line feed is inserted (paths break after a
// separator). Stops at the first stretch without a break point.
void WrapMessageText(std::string& text, std::size_t lineLength);

// The line length for a text of `characters` characters that measures `oneLineWidth` pixels
// on one line; 0 when the text fits on one line and is not wrapped.
std::size_t WrapLineLength(std::size_t characters, int oneLineWidth);

struct TextLines {
  int count = 1;
  std::size_t longestStart = 0;  // the first of equally long longest lines
  std::size_t longestLength = 0;
};

// The lines of `text` split at line feeds.
TextLines SplitLines(const std::string& text);

struct MessageBoxGeometry {
  int textX = 0, textY = 0, textWidth = 0, textHeight = 0;
  int iconX = 0, iconY = 0;               // meaningful only with an icon
  int windowWidth = 0, windowHeight = 0;  // outer size of the box
  int buttonY = 0;
  std::array<int, 3> buttonX{};
  static constexpr int kButtonWidth = 75, kButtonHeight = 23;
};

// Places everything from the measured longest line (pixels), the line count, the font's
// text metric height and the number of buttons (1 to 3).
MessageBoxGeometry LayoutMessageBox(bool hasIcon, int longestLineWidth, int lineCount, int textMetricHeight,
                                    int buttonCount);

}  // namespace tarnix
