#include "import/flac_chapter_writer.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "import/bounded_source.h"
#include "import/chapter.h"
#include "import/embed_io.h"
#include "import/id3v2_chapters.h"
#include "import/vorbis_comment_writer.h"

namespace tarnix {
namespace {

constexpr int kStreamInfo = 0, kPadding = 1, kSeekTable = 3, kVorbisComment = 4, kInvalidType = 127;
constexpr uint32_t kMaxBlockLength = 0xFFFFFF;
constexpr size_t kBlockHeader = 4;
constexpr size_t kMaxBlocks = 1024;
constexpr int kMaxLeadingTags = 4;

struct Block {
  int type;
  uint64_t at;  // of its header
  uint32_t length;
};

// One block of the new metadata: an old one copied, the new comments, or padding.
struct Planned {
  enum Kind { kCopy, kComments, kPaddingBytes } kind;
  const Block* old = nullptr;
  uint64_t bytes = 0;  // padding: all of it, headers included
};

std::string BlockHeader(int type, bool last, uint32_t length) {
  return {static_cast<char>(type | (last ? 0x80 : 0)), static_cast<char>(length >> 16 & 0xFF),
          static_cast<char>(length >> 8 & 0xFF), static_cast<char>(length & 0xFF)};
}

// Zeros in padding blocks of `bytes` in all, headers included; several blocks when one cannot
// hold them, none shorter than its header.
bool WritePadding(uint64_t bytes, bool lastOfAll, EmbedSink& out) {
  const std::string zeros(64 * 1024, '\0');
  while (bytes > 0) {
    uint64_t block = bytes;
    if (block > kBlockHeader + kMaxBlockLength) {
      block = kBlockHeader + kMaxBlockLength;
      if (bytes - block < kBlockHeader) block = bytes - kBlockHeader;
    }
    bytes -= block;
    const auto length = static_cast<uint32_t>(block - kBlockHeader);
    if (!out.Write(BlockHeader(kPadding, lastOfAll && bytes == 0, length))) return false;
    for (uint64_t left = length; left > 0;) {
      const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
      if (!out.Write(zeros.data(), piece)) return false;
      left -= piece;
    }
  }
  return true;
}

bool IsFrameSync(const std::string& two) {
  return static_cast<unsigned char>(two[0]) == 0xFF && (static_cast<unsigned char>(two[1]) & 0xFE) == 0xF8;
}

}  // namespace

EmbedResult WriteFlacChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& sink) {
  EmbedResult result;
  std::string bytes;
  if (original.Size() < 4) return Refusal(EmbedStatus::kNotThisFormat, "not a FLAC file");
  if (!ReadForEmbed(original, 0, 4, &bytes, "", &result)) return result;

  // Any ID3v2 tags before the stream are kept as they are.
  uint64_t streamAt = 0;
  int tags = 0;
  for (; tags < kMaxLeadingTags; ++tags) {
    const uint64_t end = Id3v2TagEnd(original, streamAt);
    if (end == streamAt) break;
    streamAt = end;
  }
  if (streamAt > original.Size() - 4) return Refusal(EmbedStatus::kNotThisFormat, "not a FLAC file");
  if (!ReadForEmbed(original, streamAt, 4, &bytes, "", &result)) return result;
  if (bytes != "fLaC") return Refusal(EmbedStatus::kNotThisFormat, "not a FLAC file");
  if (tags > 1) return Refusal(EmbedStatus::kUnsupported, "more than one ID3v2 tag comes before the FLAC stream");
  if (tags == 1) {
    ChapterSet id3;
    if (ReadId3v2Chapters(original, &id3)) {
      return Refusal(EmbedStatus::kUnsupported, "the ID3v2 tag before the FLAC stream holds chapters of its own");
    }
  }

  // The metadata blocks, each checked to lie inside the file.
  std::vector<Block> blocks;
  uint64_t at = streamAt + 4;
  for (bool last = false; !last;) {
    if (blocks.size() == kMaxBlocks) {
      return Refusal(EmbedStatus::kUnsupported, "the FLAC file has too many metadata blocks");
    }
    if (!ReadForEmbed(original, at, kBlockHeader, &bytes, "the FLAC metadata is cut short", &result)) return result;
    const Block block{bytes[0] & 0x7F, at, Be24(bytes.data() + 1)};
    last = bytes[0] & 0x80;
    if (block.type == kInvalidType || (blocks.empty() != (block.type == kStreamInfo))) {
      return Refusal(EmbedStatus::kDamaged, "the FLAC metadata is malformed");
    }
    at += kBlockHeader + block.length;
    if (at > original.Size()) return Refusal(EmbedStatus::kDamaged, "the FLAC metadata is cut short");
    blocks.push_back(block);
  }
  const uint64_t audioAt = at;
  if (audioAt < original.Size()) {
    if (!ReadForEmbed(original, audioAt, 2, &bytes, "the FLAC audio is cut short", &result)) return result;
    if (!IsFrameSync(bytes)) return Refusal(EmbedStatus::kDamaged, "no FLAC audio frame follows the metadata");
  }

  // The comment block rewritten, or a new one.
  const Block* oldComments = nullptr;
  uint64_t room = 0;  // of the old comment block and all padding, headers included
  for (const Block& block : blocks) {
    if (block.type == kVorbisComment) {
      if (oldComments) return Refusal(EmbedStatus::kUnsupported, "the FLAC file has more than one comment block");
      oldComments = &block;
    }
    if (block.type == kVorbisComment || block.type == kPadding) room += kBlockHeader + block.length;
  }
  VorbisCommentBlock comments;
  if (oldComments) {
    if (!ReadForEmbed(original, oldComments->at + kBlockHeader, oldComments->length, &bytes, "", &result))
      return result;
    if (!ParseVorbisCommentBlock(bytes, &comments))
      return Refusal(EmbedStatus::kDamaged, "the FLAC comment block is malformed");
  }
  result = ReplaceChapterComments(chapters, &comments);
  if (result.status != EmbedStatus::kWritten) return result;
  const std::string commentBytes = SerializeVorbisCommentBlock(comments);
  if (commentBytes.size() > kMaxBlockLength) {
    return Refusal(EmbedStatus::kUnsupported, "the comments do not fit in a FLAC metadata block");
  }
  const uint64_t need = kBlockHeader + commentBytes.size();
  // The audio stays where it is when the old room holds the new block and padding of at least
  // a header, or exactly the block.
  const uint64_t padding = (need == room || need + kBlockHeader <= room) ? room - need : kBlockHeader + kNewFlacPadding;

  // The new order: old blocks in theirs, the comments in the old block's place (else before
  // the first padding, else after the stream info and seek tables), padding where the first
  // padding was, else last.
  std::vector<Planned> plan;
  bool paddingPlaced = false;
  for (const Block& block : blocks) {
    if (block.type == kVorbisComment) {
      plan.push_back({Planned::kComments});
    } else if (block.type == kPadding) {
      if (!oldComments && !paddingPlaced) plan.push_back({Planned::kComments});
      if (!paddingPlaced && padding > 0) plan.push_back({Planned::kPaddingBytes, nullptr, padding});
      paddingPlaced = true;
    } else {
      plan.push_back({Planned::kCopy, &block});
    }
  }
  if (!oldComments && !paddingPlaced) {
    size_t after = 0;
    while (after < plan.size() && (plan[after].old->type == kStreamInfo || plan[after].old->type == kSeekTable))
      ++after;
    plan.insert(plan.begin() + static_cast<std::ptrdiff_t>(after), Planned{Planned::kComments});
  }
  if (!paddingPlaced && padding > 0) plan.push_back({Planned::kPaddingBytes, nullptr, padding});

  EmbedSink out(sink);
  if (!CopyForEmbed(original, 0, streamAt + 4, out, &result)) return result;
  for (size_t i = 0; i < plan.size(); ++i) {
    const bool last = i + 1 == plan.size();
    const Planned& p = plan[i];
    bool wrote = true;
    if (p.kind == Planned::kComments) {
      wrote = out.Write(BlockHeader(kVorbisComment, last, static_cast<uint32_t>(commentBytes.size()))) &&
              out.Write(commentBytes);
    } else if (p.kind == Planned::kPaddingBytes) {
      wrote = WritePadding(p.bytes, last, out);
    } else {
      wrote = out.Write(BlockHeader(p.old->type, last, p.old->length));
      if (wrote && !CopyForEmbed(original, p.old->at + kBlockHeader, p.old->length, out, &result)) return result;
    }
    if (!wrote) return Refusal(EmbedStatus::kWriteFailed, "the new file could not be written");
  }
  if (!CopyForEmbed(original, audioAt, original.Size() - audioAt, out, &result)) return result;
  return FinishEmbed(out);
}

}  // namespace tarnix
