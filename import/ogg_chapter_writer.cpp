#include "import/ogg_chapter_writer.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "import/embed_io.h"
#include "import/ogg_page.h"
#include "import/vorbis_comment_writer.h"

namespace tarnix {
namespace {

// The header packets are gathered in memory up to this size (cover art makes them large).
constexpr size_t kMaxHeaderBytes = 32 * 1024 * 1024;
// Bytes that are no page after the last one are kept when they are this few (a tag some
// program appended) and hold no page further on; more is a stream broken in the middle.
constexpr uint64_t kMaxTrailingBytes = 64 * 1024;

const std::string_view kVorbisIdentification("\x01vorbis", 7);
const std::string_view kVorbisComments("\x03vorbis", 7);
const std::string_view kVorbisSetup("\x05vorbis", 7);
const std::string_view kOpusIdentification("OpusHead");
const std::string_view kOpusComments("OpusTags");
const std::string_view kOggFlac(
    "\x7F"
    "FLAC",
    5);

const char kWriteFailed[] = "the new file could not be written";

// The pages of a file one after another, read through a window of the source so that the
// audio pages cost a few large reads.
class PageWalker {
 public:
  enum Outcome { kPage, kEnd, kNotPage, kCut, kReadFailed };

  explicit PageWalker(ByteSource& source) : source_(source) {}
  uint64_t At() const { return at_; }

  // The page at At() and its header; the bytes stay valid until the next call. Past a page,
  // At() moves on; otherwise it stays.
  Outcome Next(OggPageHeader* header, std::string_view* page) {
    const uint64_t left = source_.Size() - at_;
    if (left == 0) return kEnd;
    if (!Have(std::min<uint64_t>(left, kOggPageHeader))) return kReadFailed;
    const std::string_view start = Window(std::min<uint64_t>(left, kOggPageHeader));
    if (!ParseOggPageStart(start, header)) {
      return start.size() < kOggPageHeader && std::string_view("OggS").substr(0, start.size()) == start.substr(0, 4)
                 ? kCut
                 : kNotPage;
    }
    const size_t segments = OggSegmentCount(start);
    if (left < kOggPageHeader + segments) return kCut;
    if (!Have(kOggPageHeader + segments)) return kReadFailed;
    header->lacing.assign(Window(kOggPageHeader + segments).substr(kOggPageHeader));
    const size_t size = header->PageSize();
    if (left < size) return kCut;
    if (!Have(size)) return kReadFailed;
    *page = Window(size);
    at_ += size;
    return kPage;
  }

 private:
  // Makes the `count` bytes at at_ (known to be in the source) readable in the window.
  bool Have(uint64_t count) {
    if (at_ >= windowAt_ && at_ + count <= windowAt_ + window_.size()) return true;
    const uint64_t size = std::min<uint64_t>(std::max<uint64_t>(count, kWindowBytes), source_.Size() - at_);
    windowAt_ = at_;
    if (source_.ReadString(at_, static_cast<size_t>(size), &window_)) return true;
    window_.clear();
    return false;
  }
  std::string_view Window(uint64_t count) const {
    return std::string_view(window_).substr(static_cast<size_t>(at_ - windowAt_), static_cast<size_t>(count));
  }

  static constexpr uint64_t kWindowBytes = 1 << 20;
  ByteSource& source_;
  uint64_t at_ = 0;
  std::string window_;
  uint64_t windowAt_ = 0;
};

EmbedResult ReadFailure() { return Refusal(EmbedStatus::kReadFailed, "the file could not be read"); }

// The header pages after the first: the packets they carry and how they were laid out.
struct HeaderPages {
  std::vector<std::string> packets;
  uint32_t count = 0;
  uint32_t firstSequence = 0;
  uint8_t lastFlags = 0;  // the end-of-stream flag of the last one
};

// Gathers the `needed` header packets that follow the identification page of stream `serial`.
EmbedResult ReadHeaderPages(PageWalker& pages, uint32_t serial, size_t needed, HeaderPages* out) {
  std::string packet;
  bool inPacket = false;
  size_t gathered = 0;
  while (out->packets.size() < needed) {
    OggPageHeader header;
    std::string_view page;
    switch (pages.Next(&header, &page)) {
      case PageWalker::kPage:
        break;
      case PageWalker::kReadFailed:
        return ReadFailure();
      case PageWalker::kNotPage:
        return Refusal(EmbedStatus::kDamaged, "the Ogg headers are malformed");
      default:
        return Refusal(EmbedStatus::kDamaged, "the Ogg headers are cut short");
    }
    if (header.serial != serial) return Refusal(EmbedStatus::kUnsupported, "the Ogg file holds more than one stream");
    if (OggPageChecksum(page) != header.checksum) {
      return Refusal(EmbedStatus::kDamaged, "an Ogg header page has a wrong checksum");
    }
    if ((header.flags & kOggFirstPage) || ((header.flags & kOggContinued) != 0) != inPacket) {
      return Refusal(EmbedStatus::kDamaged, "the Ogg header pages are malformed");
    }
    if (out->count++ == 0) out->firstSequence = header.sequence;
    out->lastFlags = header.flags & kOggLastPage;
    std::string_view body = page.substr(header.HeaderSize());
    for (const char value : header.lacing) {
      const size_t length = static_cast<unsigned char>(value);
      if (out->packets.size() == needed) {
        return Refusal(EmbedStatus::kUnsupported, "audio begins on the last Ogg header page");
      }
      packet.append(body.substr(0, length));
      body.remove_prefix(length);
      if ((gathered += length) > kMaxHeaderBytes) {
        return Refusal(EmbedStatus::kUnsupported, "the Ogg comment header is larger than 32 MB");
      }
      inPacket = length == 255;
      if (!inPacket) out->packets.push_back(std::move(packet)), packet.clear();
    }
  }
  return EmbedResult{EmbedStatus::kWritten, {}, {}};
}

// The comment packet with its chapters replaced.
EmbedResult RewriteCommentPacket(std::string_view magic, bool framingBit, const ChaptersToEmbed& chapters,
                                 std::string* packet) {
  VorbisCommentBlock block;
  if (packet->compare(0, magic.size(), magic) != 0 ||
      !ParseVorbisCommentBlock(std::string_view(*packet).substr(magic.size()), &block) ||
      (framingBit && (block.trailing.empty() || !(block.trailing[0] & 1)))) {
    return Refusal(EmbedStatus::kDamaged, "the Ogg comment header is malformed");
  }
  EmbedResult result = ReplaceChapterComments(chapters, &block);
  if (result.status == EmbedStatus::kWritten) *packet = std::string(magic) + SerializeVorbisCommentBlock(block);
  return result;
}

// Copies the pages after the headers, renumbered by `shift`, and whatever follows the stream.
EmbedResult CopyAudioPages(ByteSource& original, PageWalker& pages, uint32_t serial, uint32_t shift, bool ended,
                           EmbedSink& out) {
  EmbedResult result;
  for (;;) {
    OggPageHeader header;
    std::string_view page;
    const uint64_t at = pages.At();
    const PageWalker::Outcome outcome = pages.Next(&header, &page);
    if (outcome == PageWalker::kEnd) break;
    if (outcome == PageWalker::kReadFailed) return ReadFailure();
    if (ended) {
      // After the last page of the stream: another stream chained to it is not written; other
      // bytes are kept.
      if (outcome != PageWalker::kNotPage)
        return Refusal(EmbedStatus::kUnsupported, "the Ogg file holds chained streams");
      if (!CopyForEmbed(original, at, original.Size() - at, out, &result)) return result;
      break;
    }
    if (outcome == PageWalker::kCut) {
      // A recording cut short keeps its last piece of a page as it is.
      if (!CopyForEmbed(original, at, original.Size() - at, out, &result)) return result;
      break;
    }
    if (outcome == PageWalker::kNotPage) {
      const uint64_t left = original.Size() - at;
      std::string rest;
      if (left > kMaxTrailingBytes) return Refusal(EmbedStatus::kDamaged, "the Ogg stream is broken after its headers");
      if (!ReadForEmbed(original, at, left, &rest, "", &result)) return result;
      if (rest.find("OggS") != std::string::npos) {
        return Refusal(EmbedStatus::kDamaged, "the Ogg stream is broken after its headers");
      }
      if (!out.Write(rest)) return Refusal(EmbedStatus::kWriteFailed, kWriteFailed);
      break;
    }
    if (header.serial != serial) return Refusal(EmbedStatus::kUnsupported, "the Ogg file holds more than one stream");
    if (header.flags & kOggFirstPage) return Refusal(EmbedStatus::kDamaged, "the Ogg stream begins twice");
    bool wrote;
    if (shift == 0) {
      wrote = out.Write(page);
    } else {
      std::string renumbered(page);
      RenumberOggPage(&renumbered, header.sequence + shift);
      wrote = out.Write(renumbered);
    }
    if (!wrote) return Refusal(EmbedStatus::kWriteFailed, kWriteFailed);
    ended = header.flags & kOggLastPage;
  }
  return EmbedResult{EmbedStatus::kWritten, {}, {}};
}

}  // namespace

EmbedResult WriteOggChapters(ByteSource& original, const ChaptersToEmbed& chapters, ByteSink& sink) {
  std::string magic;
  if (original.Size() < 4) return Refusal(EmbedStatus::kNotThisFormat, "not an Ogg file");
  if (!original.ReadString(0, 4, &magic)) return ReadFailure();
  if (magic != "OggS") return Refusal(EmbedStatus::kNotThisFormat, "not an Ogg file");

  // The identification header: alone on the first page, which begins the stream.
  PageWalker pages(original);
  OggPageHeader first;
  std::string_view page;
  const PageWalker::Outcome outcome = pages.Next(&first, &page);
  if (outcome == PageWalker::kReadFailed) return ReadFailure();
  if (outcome != PageWalker::kPage) return Refusal(EmbedStatus::kDamaged, "the first Ogg page is malformed");
  if (OggPageChecksum(page) != first.checksum) {
    return Refusal(EmbedStatus::kDamaged, "an Ogg header page has a wrong checksum");
  }
  const bool onePacket = !first.lacing.empty() && static_cast<unsigned char>(first.lacing.back()) < 255 &&
                         first.lacing.find_first_not_of('\xFF') == first.lacing.size() - 1;
  if (!(first.flags & kOggFirstPage) || (first.flags & kOggContinued) || !onePacket) {
    return Refusal(EmbedStatus::kDamaged, "the first Ogg page is malformed");
  }
  const std::string firstPage(page);
  const std::string_view identification = std::string_view(firstPage).substr(first.HeaderSize());
  const bool vorbis = identification.substr(0, kVorbisIdentification.size()) == kVorbisIdentification;
  if (!vorbis && identification.substr(0, kOpusIdentification.size()) != kOpusIdentification) {
    return Refusal(EmbedStatus::kUnsupported, identification.substr(0, kOggFlac.size()) == kOggFlac
                                                  ? "chapters are not written into Ogg FLAC files"
                                                  : "the Ogg file holds neither Vorbis nor Opus");
  }

  // The comment header, and for Vorbis the setup header after it.
  HeaderPages headers;
  EmbedResult result = ReadHeaderPages(pages, first.serial, vorbis ? 2 : 1, &headers);
  if (result.status != EmbedStatus::kWritten) return result;
  if (vorbis && headers.packets[1].compare(0, kVorbisSetup.size(), kVorbisSetup) != 0) {
    return Refusal(EmbedStatus::kDamaged, "the Vorbis setup header is missing");
  }
  result = RewriteCommentPacket(vorbis ? kVorbisComments : kOpusComments, vorbis, chapters, &headers.packets[0]);
  if (result.status != EmbedStatus::kWritten) return result;
  const std::vector<std::string> newPages = PaginateOggPackets({headers.packets.begin(), headers.packets.end()},
                                                               first.serial, headers.firstSequence, headers.lastFlags);

  EmbedSink out(sink);
  if (!out.Write(firstPage)) return Refusal(EmbedStatus::kWriteFailed, kWriteFailed);
  for (const std::string& newPage : newPages) {
    if (!out.Write(newPage)) return Refusal(EmbedStatus::kWriteFailed, kWriteFailed);
  }
  const uint32_t shift = static_cast<uint32_t>(newPages.size()) - headers.count;
  result = CopyAudioPages(original, pages, first.serial, shift, headers.lastFlags != 0, out);
  if (result.status != EmbedStatus::kWritten) return result;
  return FinishEmbed(out);
}

}  // namespace tarnix
