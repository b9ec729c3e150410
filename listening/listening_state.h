#pragma once
// What the listening features keep while the plug-in runs: the resume store and what is known
// of the entry that plays, the pending stop, and the progress the playing row shows. Part of the
// Plugin, touched only on the UI thread.

#include <cstdint>

#include "listening/resume_store_file.h"
#include "tracklist/item_id.h"
#include "tracklist/text_string.h"

namespace tarnix::listening {

struct ListeningState {
  ResumeStoreFile store;  // read when first needed, written only after it was read

  TextString path;                 // the entry the values below are about
  int32_t lengthMs = -1;           // its length; -1 while the player does not know it
  int lengthRequests = 0;          // asked so far for this entry (a stream never tells)
  uint64_t lengthAskedAt = 0;      // tick count of the last of them
  int32_t lastPositionMs = -1;     // where the last look found it; -1 stopped
  int32_t earlierPositionMs = -1;  // and the look before that
  bool startPending = true;        // the next look that finds it playing sees it start
  uint64_t rememberedAt = 0;       // tick count of the last periodic write

  ItemId stopAfter = kNoItem;   // playback stops when this subtrack ends
  ItemId lastSeen = kNoItem;    // the subtrack the last look found playing
  bool nextEntryAsked = false;  // a marked end of the track sent the player on, once per entry

  ItemId progressKey = kNoItem;  // the row whose progress is shown
  int32_t progressSecond = -1;   // and the whole second it shows
  int32_t progressLength = -1;
};

}  // namespace tarnix::listening
