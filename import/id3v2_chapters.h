#pragma once
// Chapters of an ID3v2.3 or 2.4 tag at the start of a file: its "CHAP" frames (start time in
// milliseconds, name from the embedded "TIT2"), and album and artist from "TALB" and "TPE1"
// (else "TPE2"). Compressed and encrypted frames are skipped; version 2.2 has no chapters.

#include <cstdint>

#include "import/byte_source.h"
#include "import/chapter.h"

namespace tarnix {

// True when at least one chapter was found; `out` then holds the chapters in tag order.
bool ReadId3v2Chapters(ByteSource& source, ChapterSet* out);

// Where the ID3v2 tag (of any version) that starts at `offset` ends, footer included; `offset`
// itself when no tag starts there.
uint64_t Id3v2TagEnd(ByteSource& source, uint64_t offset);

}  // namespace tarnix
