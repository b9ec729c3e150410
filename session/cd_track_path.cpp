#include "session/cd_track_path.h"

namespace tarnix {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<TextString> CdTrackPath(const TextString& path, int32_t n) {
  int last = path.Length() - 1;
  while (last >= 0 && !IsDigit(path[last])) --last;
  if (last < 0) return std::nullopt;
  int first = last;
  while (first > 0 && IsDigit(path[first - 1])) --first;

  TextString result = path.Left(first);
  // Low-order digits first; a negative number has no digits of its own and writes zeros.
  uint32_t value = n < 0 ? 0u : static_cast<uint32_t>(n);
  const int width = last - first + 1;
  TextString digits;
  digits.Reserve(width);
  char* out = digits.Buffer();
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  digits.SetLength(width);
  result += digits;
  result += path.Mid(last + 1);
  return result;
}

NearestFirstOrder::NearestFirstOrder(int32_t position, int32_t length)
    : centre_(position), length_(length < 0 ? 0 : length) {
  if (centre_ >= length_) centre_ = length_ - 1;
  if (centre_ < 0) centre_ = 0;
}

bool NearestFirstOrder::Next(int32_t* position) {
  while (step_ < length_) {
    int64_t candidate;
    if (step_ == 0) {
      candidate = centre_;
      step_ = 1;
      upper_ = true;
    } else if (upper_) {
      candidate = centre_ + step_;
      upper_ = false;
    } else {
      candidate = centre_ - step_;
      upper_ = true;
      ++step_;
    }
    if (candidate >= 0 && candidate < length_) {
      *position = static_cast<int32_t>(candidate);
      return true;
    }
  }
  return false;
}

}  // namespace tarnix
