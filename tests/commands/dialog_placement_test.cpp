// Where a dialog goes beside the plug-in window, from a table.

#include <gtest/gtest.h>

#include "commands/dialog_placement.h"

namespace tarnix {
namespace {

TEST(DialogPosition, CentredBelowAboveWhenNoRoomAndAlwaysOnTheScreen) {
  const RECT screen{0, 0, 1024, 768};
  const RECT dialog{0, 0, 380, 120};  // only the size counts
  const struct {
    RECT plugin;
    LONG x, y;
    const char* what;
  } cases[] = {
      {{400, 100, 675, 216}, 347, 216, "centred below: (400 + 675 - 380) / 2"},
      {{400, 600, 675, 716}, 347, 480, "above when the room below is smaller than the dialog"},
      {{400, 532, 675, 648}, 347, 648, "exactly the dialog's height below still fits"},
      {{-51, 100, 224, 216}, 0, 216, "truncation toward zero, then kept on the left edge"},
      {{0, 100, 275, 216}, 0, 216, "a window at the left edge: the dialog starts at the edge"},
      {{749, 100, 1024, 216}, 644, 216, "a window at the right edge"},
      {{400, 40, 675, 740}, 347, 0, "neither below nor above: the top edge wins"},
  };
  for (const auto& c : cases) {
    const POINT at = DialogPosition(c.plugin, dialog, screen);
    EXPECT_EQ(at.x, c.x) << c.what;
    EXPECT_EQ(at.y, c.y) << c.what;
  }
  // A second monitor to the right: the dialog stays on it.
  const POINT right = DialogPosition(RECT{1300, 100, 1575, 216}, dialog, RECT{1024, 0, 2048, 768});
  EXPECT_EQ(right.x, 1247);
  EXPECT_EQ(right.y, 216);
  // A dialog larger than the screen keeps its top-left corner on it.
  const POINT huge = DialogPosition(RECT{400, 100, 675, 216}, RECT{0, 0, 1500, 900}, screen);
  EXPECT_EQ(huge.x, 0);
  EXPECT_EQ(huge.y, 0);
}

}  // namespace
}  // namespace tarnix
