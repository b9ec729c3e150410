#pragma once
// ItemId: the 32-bit key of one subtrack and of one list row. The 1-based track position is in
// the high 16 bits, the subtrack index in the low 16 bits (0 = the track's start entry).

#include <cstdint>

namespace tarnix {

using ItemId = int32_t;

constexpr ItemId kNoItem = -1;     // "none" (repeat item, dialog state)
constexpr ItemId kHeaderItem = 0;  // header row of a multi-track list
constexpr int kMaxItemPart = 0xFFFF;

constexpr ItemId MakeItemId(int trackPosition, int subtrackIndex) {
  return static_cast<ItemId>((static_cast<uint32_t>(trackPosition & 0xFFFF) << 16) |
                             static_cast<uint32_t>(subtrackIndex & 0xFFFF));
}

// 1-based track position; 0 when the id names no track.
constexpr int ItemTrack(ItemId id) { return static_cast<int>((static_cast<uint32_t>(id) >> 16) & 0xFFFF); }

constexpr int ItemSubtrack(ItemId id) { return static_cast<int>(static_cast<uint32_t>(id) & 0xFFFF); }

}  // namespace tarnix
