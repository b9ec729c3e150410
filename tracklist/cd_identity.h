#pragma once
// The identity of an audio CD, learned from its ".CDA" track files: the volume serial number
// they record (the CD key) and the CDDB disc id computed from every track's start and length.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tracklist/text_string.h"

namespace tarnix {

constexpr int kCdaHeaderSize = 44;
constexpr int32_t kLeadInFrames = 150;

// One readable track file: start in frames including the lead-in, and length in frames.
struct CdaEntry {
  int32_t start;
  int32_t length;
};

// The fields of one track file's 44-byte header.
struct CdaInfo {
  int trackNumber;
  int32_t volumeSerial;
  int32_t startFrame;  // including the lead-in
  int32_t lengthFrames;
};

// Checks and decodes a track file's header from its bytes; false when it is short or a check fails.
bool ParseCdaHeader(const unsigned char* bytes, size_t size, CdaInfo* info);

// Reads one track file; the outputs are optional and written only when it is valid.
bool ReadCdaFile(const TextString& path, int* trackNumber, int32_t* volumeSerial, int32_t* startFrame,
                 int32_t* lengthFrames);

// The disc id of a set of entries (sorted here by start); 0 for none.
uint32_t DiscIdOf(std::vector<CdaEntry> entries);

// The disc id of the CD whose track file `cdaPath` is, from every ".CDA" file beside it; writes
// the number of readable track files to `trackCount` (optional).
uint32_t ComputeDiscId(const TextString& cdaPath, int* trackCount);

}  // namespace tarnix
