#pragma once
// Pieces of the ".trk" reader and writer that work on bytes, shared by TrackList's Load and
// Save and open to tests and fuzzers without a disk.
//
// A list's texts are UTF-8 inside. On disk a list is in the ANSI code page, as every earlier
// version wrote it, whenever the code page holds all of its texts exactly; otherwise it is UTF-8
// after the mark EF BB BF, in the same columns. A file is read as UTF-8 only when it begins with
// that mark.
//
// A list that knows the recording it was made for has the header line
// "[File  ] <size> <hash> <path>" (tracklist/content_identity.h for the first two): earlier
// readers ignore it as every unknown header line and read the same rows.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "tracklist/skip_marks.h"
#include "tracklist/text_string.h"

namespace tarnix {

class TrackList;

// Milliseconds of "minutes:seconds:frames" at the start of `text` (blanks before each number
// and signs allowed, reading stops at the first character that does not fit); -1 when fewer
// than three numbers can be read or the time does not fit 0 to 2^31 - 1 ms.
int32_t ParseMsf(const char* text);

namespace trackfile {

// The decimal number at the start of `text` the way atoi reads it (0 when there is none),
// held to the 32-bit range.
int32_t LeadingNumber(const char* text);

// The highest track number an entry line can hold (three digits in place of two).
constexpr int32_t kMaxTrackNumber = 999;

// Opens a list written in UTF-8.
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// One entry line without its line break; `name` is written as the bytes it holds, control characters (a Ctrl-Z
// would end the file for text-mode readers) as blanks. Times that do not fit the fixed
// columns (100 minutes and more, track numbers 100 to 999) are written in a spelling the reader reads back exactly;
// false when there is none. An empty name is written as "Unknown" so that the line is kept.
bool FormatEntry(int32_t number, int32_t time, bool start, const TextString& name, std::string* out);

// The whole file's bytes for `list`, lines ending in CR LF, in code page `codePage` when it
// holds every text exactly and in UTF-8 after kUtf8Mark otherwise; false when an entry cannot
// be written. Without a code page, the system's ANSI code page.
bool FormatFile(const TrackList& list, std::string* out, unsigned codePage);
bool FormatFile(const TrackList& list, std::string* out);

// Reads a file's lines into a TrackList, one call per line; the state of one Load.
class Reader {
 public:
  Reader(TrackList& list, const TextString& title, int32_t cdKey, uint32_t cddbId, bool alreadyMatched);
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  // How the texts of the following lines are read: UTF-8 (a broken sequence's bytes are each
  // taken in the code page, so nothing is lost), or code page `codePage`. The ANSI code page
  // until told otherwise.
  void SetEncoding(bool utf8, unsigned codePage);

  // Takes one line without its line break; throws TextException("Invalid file") or
  // TextException("CD identity mismatch") when the file must be rejected.
  void Line(const char* line, int length);
  // The end of the file was reached: whether it belongs to what is playing.
  bool Finish() const;

  // What was read so far: whether an entry line ended the header, and whether an album or an
  // artist line replaced the list's value (without one, the list keeps the value it had).
  bool SawEntries() const { return !in_header_; }
  bool SawAlbum() const { return saw_album_; }
  bool SawArtist() const { return saw_artist_; }

 private:
  void HeaderLine(const char* line, int length);
  void EntryLine(const char* line, int length);
  void RecordingLine(const char* value, int length);
  void CheckIdentity();
  TextString Text(const char* bytes, int length) const;

  TrackList& list_;
  const TextString& title_;
  const int32_t cd_key_;
  const uint32_t cddb_id_;
  const bool already_matched_;
  bool matched_;
  bool in_header_ = true;
  int name_lines_ = 0;
  bool saw_album_ = false;
  bool saw_artist_ = false;
  skipmarks::PendingMarks marks_;
  skipmarks::Occurrences places_;
  bool utf8_ = false;
  unsigned code_page_;
};

// Feeds every line of `file` to `reader`, in UTF-8 when the file begins with kUtf8Mark and in
// code page `codePage` (without one, the ANSI code page) otherwise; false when the reader
// rejected a line or a line was too long to hold (the reader then holds what was read before
// it).
bool ReadAll(std::FILE* file, Reader& reader, unsigned codePage);
bool ReadAll(std::FILE* file, Reader& reader);
// The same for a list's bytes in memory, read as a file holding them would be.
bool ReadAll(std::string_view bytes, Reader& reader);

}  // namespace trackfile
}  // namespace tarnix
