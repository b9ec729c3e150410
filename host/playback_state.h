#pragma once
// What the player is playing and how the list relates to it. Part of the Plugin, touched only on
// the UI thread; RepeatItem, which the hook filter also reads, lives in Shared().repeatItem.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "host/player.h"
#include "host/player_codes.h"
#include "tracklist/item_id.h"
#include "tracklist/text_string.h"

namespace tarnix {

struct PlaybackState {
  TextString currentPath;                                    // full path of the entry last seen playing
  TextString currentTitle;                                   // its playlist title
  int32_t currentTrack = 0;                                  // 1-based playing track in the list; 0 = none
  DWORD subsongThreadId = 0;                                 // thread of the subsong source; 0 = none
  int32_t multiTrack = 0;                                    // 1 when the list shows several tracks of what plays
  std::vector<TextString> pendingNames;                      // subsong names from UM_SET_TRACK_NAME
  uint32_t subsongRecord[kSubsongRecordWords] = {};          // copy of the last UM_SUBSONG_INFO record
  WideEntryTexts wideEntryTexts = WideEntryTexts::kUnknown;  // what the player said to 213 and 214
};

}  // namespace tarnix
