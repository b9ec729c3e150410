#pragma once
// The Vorbis comment block of FLAC, Ogg Vorbis and Opus with its chapters replaced: every
// "CHAPTERnnn" and "CHAPTERnnnNAME" comment (any letter case) goes, the new ones are written
// as "CHAPTERnnn=HH:MM:SS.mmm" and "CHAPTERnnnNAME=<name>" numbered from 001, the form the
// chapter reader here, ffmpeg and the taggers read; every other comment, its order and the
// vendor string stay as they were.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/chapter_embedding.h"

namespace tarnix {

// Three digits number the chapters: ffmpeg reads no more.
constexpr size_t kMaxVorbisChapters = 999;

struct VorbisCommentBlock {
  std::string vendor;
  std::vector<std::string> comments;
  // What follows the last comment, kept as it is: Vorbis' framing bit, Opus' extra data.
  std::string trailing;
};

// Splits a block (all lengths little-endian); false when a length runs past its end.
bool ParseVorbisCommentBlock(std::string_view bytes, VorbisCommentBlock* out);
std::string SerializeVorbisCommentBlock(const VorbisCommentBlock& block);

// True for the comments the chapter reader takes as chapters: "CHAPTER", digits, then nothing
// or "NAME" before the "=".
bool IsChapterComment(std::string_view comment);

// "HH:MM:SS.mmm", hours in as many digits as they need.
std::string FormatChapterTime(int64_t ms);

// Replaces the block's chapter comments with `chapters`: where the first old one stood, else
// before the first picture (so readers that gather only the start of a long block see them),
// else at the end. kWritten, or kUnsupported with the reason when the chapters cannot be
// written as comments.
EmbedResult ReplaceChapterComments(const ChaptersToEmbed& chapters, VorbisCommentBlock* block);

}  // namespace tarnix
