#include "tests/support/cda_bytes.h"

#include <cstddef>

namespace tarnix::testsupport {

namespace {

constexpr int32_t kFramesPerSecond = 75;
constexpr int32_t kLeadIn = 150;

void PutLe(std::string& bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Frames as the frame, second and minute bytes of the redundant time fields.
uint32_t MsfBytes(int32_t frames) {
  const uint32_t f = static_cast<uint32_t>(frames % kFramesPerSecond);
  const uint32_t s = static_cast<uint32_t>((frames / kFramesPerSecond) % 60);
  const uint32_t m = static_cast<uint32_t>(frames / kFramesPerSecond / 60) & 0xFF;
  return f | (s << 8) | (m << 16);
}

}  // namespace

std::string CdaHeaderBytes(int track, uint32_t volumeSerial, int32_t startFrame, int32_t lengthFrames) {
  std::string bytes(44, '\0');
  bytes.replace(0, 4, "RIFF");
  PutLe(bytes, 4, 36, 4);
  bytes.replace(8, 8, "CDDAfmt ");
  PutLe(bytes, 16, 24, 4);
  PutLe(bytes, 20, 1, 2);
  PutLe(bytes, 22, static_cast<uint32_t>(track), 2);
  PutLe(bytes, 24, volumeSerial, 4);
  PutLe(bytes, 28, static_cast<uint32_t>(startFrame), 4);
  PutLe(bytes, 32, static_cast<uint32_t>(lengthFrames), 4);
  if (startFrame >= 0 && lengthFrames >= 0) {
    PutLe(bytes, 36, MsfBytes(startFrame + kLeadIn), 4);
    PutLe(bytes, 40, MsfBytes(lengthFrames), 4);
  }
  return bytes;
}

}  // namespace tarnix::testsupport
