#include "listening/listening_rules.h"

#include <algorithm>
#include <cstdio>

namespace tarnix::listening {

LeftAt JudgeLeftAt(int32_t positionMs, int32_t lengthMs) {
  if (!IsLongRecording(lengthMs) || positionMs < 0) return LeftAt::kNothing;
  if (positionMs >= lengthMs - kResumeMarginMs) return LeftAt::kForget;
  if (positionMs > kResumeMarginMs) return LeftAt::kRemember;
  return LeftAt::kNothing;
}

bool IsLongRecording(int32_t lengthMs) { return lengthMs >= kLongRecordingMs; }

int32_t ResumeTargetMs(int32_t rememberedMs) { return std::max(0, rememberedMs - kReplayMs); }

int SkipTarget(const Track& track, int index) {
  if (!track.IsValidIndex(index) || !track.subtracks[static_cast<size_t>(index)].skip) return kNoSkip;
  for (int k = index + 1; k < track.Count(); ++k) {
    if (!track.subtracks[static_cast<size_t>(k)].skip) return k;
  }
  return kEndOfTrack;
}

int32_t StepOverMarked(int32_t from, int step, int32_t count, const std::function<bool(int32_t row)>& marked) {
  if (step != 1 && step != -1) return -1;
  for (int32_t row = from + step; row >= 0 && row < count; row += step) {
    if (!marked(row)) return row;
  }
  return -1;
}

StopVerdict JudgeStop(ItemId pending, ItemId lastSeen, ItemId now, int32_t pastEndMs) {
  if (now == pending) return StopVerdict::kWait;
  const bool later = ItemTrack(now) == ItemTrack(pending) && ItemSubtrack(now) > ItemSubtrack(pending);
  if (later && lastSeen == pending && pastEndMs > -kBoundaryReachedWindowMs && pastEndMs < kBoundaryReachedWindowMs) {
    return StopVerdict::kStop;
  }
  return StopVerdict::kLapse;
}

bool RanToEnd(int32_t lastPositionMs, int32_t lengthMs) {
  return lengthMs > 0 && lastPositionMs >= 0 && lastPositionMs >= lengthMs - 2 * kBoundaryReachedWindowMs;
}

int32_t SubtrackLengthMs(const Track& track, int index, int32_t fileLengthMs) {
  if (!track.IsValidIndex(index)) return -1;
  const int32_t start = track.subtracks[static_cast<size_t>(index)].time;
  const int32_t end = index + 1 < track.Count() ? track.subtracks[static_cast<size_t>(index) + 1].time : fileLengthMs;
  return end > start ? end - start : -1;
}

namespace {

void AppendClock(std::string* out, int32_t ms) {
  const int32_t seconds = std::max(0, ms) / 1000;
  char buffer[32];
  if (seconds >= 3600) {
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  } else {
    std::snprintf(buffer, sizeof buffer, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
  }
  out->append(buffer);
}

}  // namespace

TextString ProgressText(int32_t intoMs, int32_t lengthMs) {
  std::string text;
  AppendClock(&text, lengthMs > 0 ? std::min(intoMs, lengthMs) : intoMs);
  if (lengthMs > 0) {
    text += " / ";
    AppendClock(&text, lengthMs);
  }
  return TextString(text.c_str());
}

}  // namespace tarnix::listening
