#include "commands/time_fields.h"

#include "tracklist/msf.h"

namespace tarnix {

TimeFieldTexts TimeFieldTextsFor(int32_t ms) {
  const Msf msf = MsfFromTime(ms < 0 ? 0 : ms);
  TimeFieldTexts texts;
  texts.minutes.Format("%02ld", static_cast<long>(msf.minutes));
  texts.seconds.Format("%02ld", static_cast<long>(msf.seconds));
  texts.frames.Format("%02ld", static_cast<long>(msf.frames));
  return texts;
}

int32_t FieldNumber(const char* text) {
  if (!text) return 0;
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  int64_t value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10 + (*text++ - '0');
    if (value > INT32_MAX) {
      value = static_cast<int64_t>(INT32_MAX) + 1;
      // Keep reading the digits so that nothing else is taken for a number.
      while (*text >= '0' && *text <= '9') ++text;
    }
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<int32_t>(value);
}

TimeFieldValues ReadTimeFields(const char* minutes, const char* seconds, const char* frames) {
  return TimeFieldValues{FieldNumber(minutes), FieldNumber(seconds), FieldNumber(frames)};
}

std::optional<int32_t> TimeOfFields(const TimeFieldValues& values) {
  const int64_t ms = TimeFromMsf64(values.minutes, values.seconds, values.frames);
  if (ms < 0 || ms > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(ms);
}

std::optional<int32_t> SteppedTime(TimeFieldValues values, TimeField field, int32_t delta) {
  int64_t m = values.minutes, s = values.seconds, f = values.frames;
  switch (field) {
    case TimeField::kMinutes:
      m -= delta;
      break;
    case TimeField::kSeconds:
      s -= delta;
      break;
    case TimeField::kFrames:
      f -= delta;
      break;
  }
  const int64_t ms = TimeFromMsf64(m, s, f);
  if (ms < 0 || ms > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(ms);
}

}  // namespace tarnix
