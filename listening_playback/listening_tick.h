#pragma once
// The listening features at the playback check: resuming long recordings, the pending stop at
// the end of a subtrack, jumping over subtracks marked to be skipped, and the playing row's
// progress. The rules are in listening/listening_rules.h; this applies them to the player and
// the window. Runs on the UI thread only.

#include <cstdint>
#include <optional>

#include "tracklist/text_string.h"

namespace tarnix {

class Plugin;
class Player;
struct TickPosition;

// The playing entry is about to become another one: what was left is remembered, and a stop
// pending for its last subtrack stops the player when the entry ran to its end.
void ListeningEntryLeaving(Plugin& plugin, const Player& player);
// The entry `path` is the playing one now.
void ListeningEntryStarted(Plugin& plugin, const Player& player, const TextString& path);

// At each playback check, with the position `ms` just asked for (negative: stopped). True when
// it jumped to a resumed position; that check ends there.
bool FollowResume(Plugin& plugin, const Player& player, int ms);
// The pending stop and the skip marks at subtrack `at.index` of track `trackNumber`; a value
// (the next interval) when the player was told to stop or to jump and the check ends there.
std::optional<int32_t> FollowMarksAndStop(Plugin& plugin, const Player& player, int ms, int32_t trackNumber,
                                          const TickPosition& at);
// The playing row's progress and the stop at the end of the recording; returns the interval,
// shortened to reach that end in time.
int32_t FinishLook(Plugin& plugin, const Player& player, int ms, int32_t trackNumber, const TickPosition& at,
                   int32_t interval);

// The plug-in ends: the playing recording's place is written down.
void ListeningQuit(Plugin& plugin);
// The list view's decorator: how the row `key` shows its skip mark and a pending stop.
uint32_t ListeningRowDecoration(const Plugin& plugin, int32_t key);

}  // namespace tarnix
