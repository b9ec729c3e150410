// The Edit subtrack dialog's field arithmetic: display, reading typed texts, up-down steps.

#include "commands/time_fields.h"

#include <gtest/gtest.h>

namespace tarnix {
namespace {

TEST(TimeFields, Display) {
  struct Case {
    int32_t ms;
    const char *minutes, *seconds, *frames;
  } const cases[] = {
      {83456, "01", "23", "34"},                                // 456 ms is 34.2 frames, taken to the nearest
      {0, "00", "00", "00"},     {59999, "00", "59", "75"},     // frames reach 75 without a carry
      {61013, "01", "01", "01"}, {6000000, "100", "00", "00"},  // minutes are not held to two digits
  };
  for (const Case& c : cases) {
    const TimeFieldTexts t = TimeFieldTextsFor(c.ms);
    EXPECT_STREQ(t.minutes.c_str(), c.minutes) << c.ms;
    EXPECT_STREQ(t.seconds.c_str(), c.seconds) << c.ms;
    EXPECT_STREQ(t.frames.c_str(), c.frames) << c.ms;
  }
}

TEST(TimeFields, FieldNumberReadsLikeAtoi) {
  struct Case {
    const char* text;
    int32_t value;
  } const cases[] = {
      {"12", 12},
      {"007", 7},
      {"", 0},
      {"abc", 0},
      {"  42x", 42},
      {"-3", -3},
      {"+5", 5},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {nullptr, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(FieldNumber(c.text), c.value) << (c.text ? c.text : "(null)");
}

TEST(TimeFields, TypedValuesCarryAndBorrow) {
  struct Case {
    const char *m, *s, *f;
    std::optional<int32_t> ms;
  } const cases[] = {
      {"00", "10", "75", 11000},  // 75 frames are one more second
      {"00", "60", "00", 60000},  // 60 seconds one more minute
      {"01", "23", "34", 83453},
      {"", "", "", 0},
      {"00", "00", "-1", std::nullopt},        // a negative time is refused
      {"99999999", "00", "00", std::nullopt},  // beyond 32-bit milliseconds
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TimeOfFields(ReadTimeFields(c.m, c.s, c.f)), c.ms) << c.m << ":" << c.s << ":" << c.f;
  }
}

TEST(TimeFields, UpDownSteps) {
  struct Case {
    TimeFieldValues values;
    TimeField field;
    int32_t delta;
    std::optional<int32_t> ms;
  } const cases[] = {
      {{1, 59, 74}, TimeField::kFrames, -1, 120000},     // upper arrow: 01:59:75 is 02:00:00
      {{0, 0, 0}, TimeField::kFrames, 1, std::nullopt},  // lower arrow at zero changes nothing
      {{0, 0, 0}, TimeField::kSeconds, 1, std::nullopt},
      {{0, 59, 0}, TimeField::kSeconds, -1, 60000},
      {{2, 0, 0}, TimeField::kMinutes, 1, 60000},
      {{0, 0, 5}, TimeField::kMinutes, -1, 60000 + 67},
      {{0, 1, 0}, TimeField::kFrames, 1, 988},  // borrows: 1000 + (-1000 + 37) / 75, truncated
      {{INT32_MAX, 0, 0}, TimeField::kMinutes, -1, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SteppedTime(c.values, c.field, c.delta), c.ms)
        << c.values.minutes << ":" << c.values.seconds << ":" << c.values.frames;
  }
  // The result shown after the frame step at 01:59:74.
  const TimeFieldTexts shown = TimeFieldTextsFor(*SteppedTime({1, 59, 74}, TimeField::kFrames, -1));
  EXPECT_STREQ(shown.minutes.c_str(), "02");
  EXPECT_STREQ(shown.seconds.c_str(), "00");
  EXPECT_STREQ(shown.frames.c_str(), "00");
}

}  // namespace
}  // namespace tarnix
