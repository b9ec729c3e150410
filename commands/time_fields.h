#pragma once
// The arithmetic of the "Edit subtrack" dialog's minutes, seconds and frames fields, apart from
// the dialog: what the fields show for a time, what time typed texts mean, and where an
// up-down step lands. Values out of range carry and borrow through the time in milliseconds.

#include <cstdint>
#include <optional>

#include "tracklist/text_string.h"

namespace tarnix {

// The three field texts of one time ("%02ld" each).
struct TimeFieldTexts {
  TextString minutes;
  TextString seconds;
  TextString frames;
};

// The three numbers read from the fields.
struct TimeFieldValues {
  int32_t minutes = 0;
  int32_t seconds = 0;
  int32_t frames = 0;
};

enum class TimeField { kMinutes, kSeconds, kFrames };

TimeFieldTexts TimeFieldTextsFor(int32_t ms);

// The number a field's text starts with, as atoi reads it (blanks, a sign, digits; 0 when none),
// held to the 32-bit range.
int32_t FieldNumber(const char* text);

TimeFieldValues ReadTimeFields(const char* minutes, const char* seconds, const char* frames);

// The time the values name; nullopt when it is negative or beyond 32-bit milliseconds.
std::optional<int32_t> TimeOfFields(const TimeFieldValues& values);

// An up-down of `field` reported `delta` (the upper arrow reports -1): the value minus delta,
// converted; nullopt when the result is negative or out of range, which changes nothing.
std::optional<int32_t> SteppedTime(TimeFieldValues values, TimeField field, int32_t delta);

}  // namespace tarnix
