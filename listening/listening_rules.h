#pragma once
// The rules of the listening features, without Windows: when a long recording's position is
// remembered and where it resumes, where playback goes from a subtrack marked to be skipped,
// when a pending "stop at the end of this subtrack" stops or lapses, and the playing row's
// progress text.

#include <cstdint>
#include <functional>

#include "tracklist/item_id.h"
#include "tracklist/text_string.h"
#include "tracklist/track_list.h"

namespace tarnix::listening {

// --- Resuming long recordings ---

constexpr int32_t kLongRecordingMs = 20 * 60 * 1000;
// Positions this close to the start are not worth remembering; this close to the end, the
// recording counts as heard to its end.
constexpr int32_t kResumeMarginMs = 60 * 1000;
// The resumed position is this much before the remembered one, so the last words come again.
constexpr int32_t kReplayMs = 5000;
// A recording whose first look finds it before this position started from its beginning.
constexpr int32_t kFreshStartMs = 3000;
// How often the position of a long recording that plays on is written down.
constexpr int32_t kRememberEveryMs = 60 * 1000;

enum class LeftAt { kNothing, kRemember, kForget };

// What to do with the position a recording of `lengthMs` (negative: unknown) was left at.
LeftAt JudgeLeftAt(int32_t positionMs, int32_t lengthMs);
bool IsLongRecording(int32_t lengthMs);
int32_t ResumeTargetMs(int32_t rememberedMs);

// --- Skipping marked subtracks ---

constexpr int kNoSkip = -2;      // the subtrack is not marked
constexpr int kEndOfTrack = -1;  // marked, and no unmarked subtrack follows in its track

// Where playback goes from subtrack `index` of `track`: the index of the next unmarked
// subtrack, kEndOfTrack, or kNoSkip.
int SkipTarget(const Track& track, int index);

// The row `step` (+1 or -1) rows from `from` among `count` rows, passing over the rows for
// which `marked` holds; -1 when there is none.
int32_t StepOverMarked(int32_t from, int step, int32_t count, const std::function<bool(int32_t row)>& marked);

// --- Stopping at the end of a subtrack ---

enum class StopVerdict { kWait, kStop, kLapse };

// A late tick still sees the boundary as just passed within this time.
constexpr int32_t kBoundaryReachedWindowMs = 1000;

// The stop pending for subtrack `pending`, when the previous look saw `lastSeen` playing and
// this one sees `now`, `pastEndMs` after the pending subtrack's end (the next one's start): it
// stops when playback went on from the pending subtrack past its end, into the one after it or
// past subtracks too short for a look to find (two at one time, a late tick); any other move
// (a jump, another track) lapses it.
StopVerdict JudgeStop(ItemId pending, ItemId lastSeen, ItemId now, int32_t pastEndMs);

// Whether a recording of `lengthMs` (negative: unknown), last seen at `lastPositionMs`, ran to
// its end rather than being left by the listener.
bool RanToEnd(int32_t lastPositionMs, int32_t lengthMs);

// --- Progress of the playing subtrack ---

// Length of subtrack `index` of `track`: up to the next one, the last up to the end of the
// recording (`fileLengthMs`, negative when unknown); -1 when unknown.
int32_t SubtrackLengthMs(const Track& track, int index, int32_t fileLengthMs);
// "12:30 / 45:00"; hours when needed ("1:02:03 / 2:10:00"); "12:30" alone for an unknown length.
TextString ProgressText(int32_t intoMs, int32_t lengthMs);

}  // namespace tarnix::listening
