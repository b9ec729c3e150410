#include "session/colour_text.h"

#include <cstdio>

namespace tarnix {

uint32_t ColourFromHex(const char* text) {
  if (!text) return 0;
  if (*text == '#') ++text;
  unsigned long red = 0, green = 0, blue = 0;
  if (std::sscanf(text, "%02lx%02lx%02lx", &red, &green, &blue) != 3) return 0;
  return static_cast<uint32_t>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

}  // namespace tarnix
