#include "tracklist/fill_buffer.h"

#include <climits>
#include <new>

namespace tarnix {

TextString FillTruncating(const std::function<int(char* buffer, int size)>& call) {
  TextString result;
  result.Reserve(TextString::kGrowth);
  for (;;) {
    const int capacity = result.Capacity();
    result.Buffer()[0] = '\0';
    const int r = call(result.Buffer(), capacity);
    if (r >= 0 && r < capacity - 1) {
      result.SetLength(r);
      return result;
    }
    if (capacity > INT_MAX / 4) throw std::bad_alloc();
    result.Clear();
    result.Reserve(capacity * 2);
  }
}

}  // namespace tarnix
