#pragma once
// MPEG audio (layers I to III, MPEG-1, 2 and 2.5) frame headers: enough to tell an MP3 by its
// first frames and to work out its duration cheaply (from a Xing/Info or VBRI header, else
// from the file size at a constant bitrate), without reading through the audio.

#include <cstdint>

#include "import/byte_source.h"

namespace tarnix {

struct MpegFrameHeader {
  int version = 0;  // 10 for MPEG-1, 20 for MPEG-2, 25 for MPEG-2.5
  int layer = 0;    // 1..3
  uint32_t bitrateKbps = 0;
  uint32_t sampleRate = 0;
  bool mono = false;
  uint32_t frameBytes = 0;
  uint32_t samplesPerFrame = 0;
};

// Reads the four header bytes; false for anything but a valid frame with a known bitrate (free
// format is refused: its frame length cannot be told from the header). Reserved version, layer,
// bitrate, sample rate and emphasis values are refused, so FLAC and ADTS frame syncs never pass.
bool ParseMpegFrameHeader(const unsigned char bytes[4], MpegFrameHeader* out);

// Where the first frame at or after `from` starts: the first valid header within `window` bytes
// whose frame the next frame's header confirms (same version, layer and sample rate), or whose
// frame ends the audio.
enum class MpegSearch { kFound, kNone, kReadFailed };
MpegSearch FindMpegAudio(ByteSource& source, uint64_t from, uint64_t window, uint64_t* at, MpegFrameHeader* header);

// The duration in milliseconds of the audio whose first frame is at `at`: the frame count of a
// Xing/Info or VBRI header, else the bytes up to the trailing ID3v1 and APE tags at the first
// frame's bitrate. 0 when it cannot be told.
int64_t MpegDurationMs(ByteSource& source, uint64_t at, const MpegFrameHeader& header);

}  // namespace tarnix
