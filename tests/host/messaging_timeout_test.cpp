// The one slow case: a player that never answers makes the guarded send give up after all its
// attempts (about 20 seconds).

#include "host/messaging.h"
#include "host/player_codes.h"
#include "testhost/player_thread.h"

#include <gtest/gtest.h>

namespace tarnix {
namespace {

TEST(GuardedSendTimeout, SilentPlayerGivesTimeoutAfterAllAttempts) {
  testhost::StandInPlayerThread player;
  player.Player().SetSilent(true);
  const auto start = testhost::SteadyMs();
  bool timedOut = false;
  try {
    SendToPlayer(player.Window(), kPlayerRequest, 0, kCodeOutputTime);
  } catch (const SendMsgTimeout&) {
    timedOut = true;
  } catch (const SendMsgException&) {
    ADD_FAILURE() << "another kind of send failure";
  }
  const auto elapsed = testhost::SteadyMs() - start;
  player.Player().SetSilent(false);
  EXPECT_TRUE(timedOut);
  EXPECT_GE(elapsed, kGuardedSendAttempts * static_cast<int>(kGuardedSendAttemptMs) - 200);
  EXPECT_LT(elapsed, 60000);
}

}  // namespace
}  // namespace tarnix
