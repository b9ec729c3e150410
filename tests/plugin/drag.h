#pragma once
// A caption drag that waits for where the window lands: the window system may apply the place
// after the drag's last message was handled, so the place is read once it is there.

#include <gtest/gtest.h>

#include "testhost/plugin_session.h"

namespace tarnix::integration {

inline bool IsAt(const testhost::PluginSession& s, POINT at) {
  const POINT p = s.TopLeft();
  return p.x == at.x && p.y == at.y;
}

// Drags the window towards `to` and waits until it is at `lands`; the failure tells where it is.
inline ::testing::AssertionResult DragLandsAt(testhost::PluginSession& s, POINT to, POINT lands) {
  if (!s.DragTo(to.x, to.y)) return ::testing::AssertionFailure() << "the drag to " << to.x << "," << to.y << " stuck";
  if (s.PumpUntil([&] { return IsAt(s, lands); }, 3000)) return ::testing::AssertionSuccess();
  const POINT p = s.TopLeft();
  return ::testing::AssertionFailure() << "dragged to " << to.x << "," << to.y << " the window is at " << p.x << ","
                                       << p.y << ", not at " << lands.x << "," << lands.y;
}

}  // namespace tarnix::integration
