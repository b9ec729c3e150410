#include "tracklist/dir_index.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tracklist/platform.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

std::vector<std::string> Rows(const TrackList& list) {
  std::vector<std::string> rows;
  for (const Track& track : list.tracks) {
    for (const Subtrack& row : track.subtracks) rows.push_back(std::to_string(row.time) + " " + S(row.name));
  }
  return rows;
}

// Index bytes claiming another version, checksum and all, as that version wrote them.
std::string WithVersion(std::string bytes, char version) {
  bytes[8] = version;
  uint64_t hash = 14695981039346656037ull;
  for (size_t i = 0; i + 8 < bytes.size(); ++i) hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
  for (size_t i = 0; i < 8; ++i) bytes[bytes.size() - 8 + i] = static_cast<char>(hash >> (8 * i));
  return bytes;
}

// Content identities as the lists' "[File  ]" lines hold them: the first two differ in their
// hash, the third only in its size; the last is no identity.
const char* const kRecordings[] = {"5000 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "5000 bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
                                   "5001 aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "5000 not-an-identity"};

ContentIdentity Recording(int i) {
  ContentIdentity identity;
  ParseContentIdentity(kRecordings[i], &identity);
  return identity;
}

// A bookmark directory whose files are written with chosen write times, as a user's editor and
// file manager would leave them over days.
class Bookmarks {
 public:
  explicit Bookmarks(uint32_t seed) : rng_(seed), base_(fs::file_time_type::clock::now() - std::chrono::hours(48)) {}

  TextString Pattern() const { return (dir_.Path() + "\\*.trk").c_str(); }
  const std::vector<std::string>& Names() const { return names_; }

  // A list drawn from a small vocabulary, so that titles, albums and CD identities meet often,
  // and now and then one that the reader rejects or that is too big for the index to keep.
  std::string RandomList() {
    // "Caf\xE9" in the code page; a Japanese word in UTF-8, which reads as other characters
    // in a list without the mark.
    static const char* const kWords[] = {"Alpha", "beta",    "Gamma Ray", "Live",
                                         "",      "Track 2", "Caf\xE9",   "\xE6\x84\x9B"};
    auto word = [&] { return std::string(kWords[Pick(8)]); };
    std::string text = Pick(3) == 0 ? "\xEF\xBB\xBF" : "";
    const char* eol = Pick(4) == 0 ? "\n" : "\r\n";
    if (Pick(3) == 0) text += std::string("[CD key] ") + std::to_string(11 * Pick(3)) + eol;
    if (Pick(3) == 0) text += std::string(Pick(2) ? "[CDDBID] " : "[cddbid] ") + "0000000" + "AB"[Pick(2)] + eol;
    const int nameLines = Pick(8) == 0 ? 1 : 2;
    for (int i = 0; i < nameLines; ++i) {
      const int kind = Pick(5);
      if (kind == 0)
        text += "[Album ] " + word() + eol;
      else if (kind == 1)
        text += "[Artist] " + word() + eol;
      else
        text += (i == 0 ? "[Album ] " : "[Artist] ") + word() + eol;
    }
    if (Pick(25) == 0) text += "[Album ] " + std::string(1100, 'a') + eol;
    // Few recordings, so that several lists name one; now and then a line that names none.
    if (Pick(2) == 0) text += "[File  ] " + std::string(kRecordings[Pick(4)]) + " C:\\Music\\x.mp3" + eol;
    const int tracks = Pick(30) == 0 ? 130 : Pick(4);
    for (int t = 1; t <= tracks; ++t) {
      char line[64];
      std::snprintf(line, sizeof line, "%02d:00:00:00*", t % 99 + 1);
      text += line + (tracks > 100 ? "n" + std::to_string(t) : word()) + eol;
      if (Pick(2) == 0) text += std::string("01:01:00:00 Part") + eol;
    }
    switch (Pick(12)) {
      case 0:
        text += eol;
        break;  // an empty line: rejected
      case 1:
        text += std::string("01:xx:00:00*Bad") + eol;
        break;  // unreadable time
      case 2:
        text += std::string("[Album ] Late") + eol;
        break;  // a tag among the entries
      case 3:
        text = text.substr(0, text.size() / 2);
        break;  // cut anywhere
      default:
        break;
    }
    return text;
  }

  // One random edit of the directory.
  void Edit() {
    // Directories grow: adding is drawn most often while there are few files.
    const int kind = names_.size() < 30 && Pick(3) == 0 ? 0 : names_.empty() ? 0 : Pick(7);
    const size_t at = names_.empty() ? 0 : Pick(static_cast<int>(names_.size()));
    switch (kind) {
      case 0: {  // added
        const std::string name = (Pick(2) ? "list" : "\xD1\x81\xD0\xBF") + std::to_string(next_++) + ".trk";
        Write(name, RandomList(), NextTime());
        names_.push_back(name);
        break;
      }
      case 1: {  // changed in place with another size, the time kept
        const std::string path = dir_.Join(names_[at]);
        const auto time = fs::last_write_time(fs::u8path(path));
        std::string text = RandomList();
        if (text.size() == test::TempDir::Read(path).size()) text += "[x]\r\n";
        Write(names_[at], text, time);
        break;
      }
      case 2:  // rewritten with another time
        Write(names_[at], RandomList(), NextTime());
        break;
      case 3:  // removed
        fs::remove(fs::u8path(dir_.Join(names_[at])));
        names_.erase(names_.begin() + static_cast<long>(at));
        break;
      case 4: {  // renamed: size and time go with it
        const std::string name = "renamed" + std::to_string(next_++) + ".trk";
        fs::rename(fs::u8path(dir_.Join(names_[at])), fs::u8path(dir_.Join(name)));
        names_[at] = name;
        break;
      }
      case 5:  // made invalid
        Write(names_[at], test::TempDir::Read(dir_.Join(names_[at])) + "\r\n", NextTime());
        break;
      default: {  // written just now or with a time ahead of the clock: not to be trusted
        if (Pick(2) == 0) {
          fs::last_write_time(fs::u8path(dir_.Join(names_[at])), NextTime());  // only touched
          break;
        }
        const auto now = fs::file_time_type::clock::now();
        Write(names_[at], RandomList(), Pick(3) ? now : now + std::chrono::hours(1));
        recent_ = names_[at];
        break;
      }
    }
  }

  // The file last written with the clock's time written again within the file system's time
  // step: the same size and time, other bytes.
  void RewriteRecent() {
    const std::string recent = dir_.Join(recent_);
    if (recent_.empty() || !fs::exists(fs::u8path(recent))) return;
    std::string text = test::TempDir::Read(recent);
    const size_t at = text.find("Alpha") != std::string::npos ? text.find("Alpha") : text.find("Omega");
    const size_t recording = text.find(kRecordings[0]);
    if (recording != std::string::npos) {
      text.replace(recording, std::strlen(kRecordings[1]), kRecordings[1]);  // the same length
    } else if (at != std::string::npos) {
      text.replace(at, 5, text.compare(at, 5, "Alpha") == 0 ? "Omega" : "Alpha");
    } else {
      const size_t size = text.size();
      text = RandomList();
      text.resize(size, ' ');
    }
    Write(recent_, text, fs::last_write_time(fs::u8path(recent)));
  }

  int Pick(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

 private:
  fs::file_time_type NextTime() { return base_ + std::chrono::seconds(3 * ++ticks_); }
  void Write(const std::string& name, const std::string& text, fs::file_time_type time) {
    dir_.Write(name, text);
    fs::last_write_time(fs::u8path(dir_.Join(name)), time);
  }

  test::TempDir dir_;
  std::mt19937 rng_;
  fs::file_time_type base_;
  std::vector<std::string> names_;
  std::string recent_;  // the file last written with the clock's time
  int next_ = 0;
  int ticks_ = 0;
};

void ExpectSameList(const TrackList& plain, const TrackList& indexed, bool found, int step) {
  SCOPED_TRACE("step " + std::to_string(step));
  // What a following search reads of the list, whatever the outcome.
  EXPECT_EQ(S(indexed.album), S(plain.album));
  EXPECT_EQ(S(indexed.artist), S(plain.artist));
  if (!found) return;
  EXPECT_EQ(S(indexed.path), S(plain.path));
  EXPECT_EQ(indexed.cdKey, plain.cdKey);
  EXPECT_EQ(indexed.cddbId, plain.cddbId);
  EXPECT_EQ(indexed.subsongs, plain.subsongs);
  EXPECT_EQ(indexed.currentTrack, plain.currentTrack);
  ASSERT_EQ(indexed.TrackCount(), plain.TrackCount());
  for (int t = 0; t < plain.TrackCount(); ++t) EXPECT_EQ(indexed.tracks[t].Count(), plain.tracks[t].Count());
}

TEST(DirectoryIndexTest, PicksWhatThePlainSearchPicksThroughRandomEdits) {
  static const char* const kTitles[] = {"Someone - Alpha",
                                        "BETA",
                                        "x gamma ray",
                                        "Live",
                                        "Track 2",
                                        "Nothing",
                                        "Caf\xC3\xA9",
                                        "\xE6\x84\x9B",
                                        "x \xC3\xA6\xE2\x80\x9E\xE2\x80\xBA"};
  int listed = 0, indexReads = 0, matches = 0;
  for (uint32_t seed : {1u, 2u}) {
    Bookmarks dir(seed);
    for (int i = 0; i < 30; ++i) dir.Edit();
    DirectoryIndex index;
    TrackList plain, indexed;
    for (int step = 0; step < 150; ++step) {
      for (int edits = dir.Pick(4); edits > 0; --edits) dir.Edit();
      if (dir.Pick(4) == 0) dir.RewriteRecent();
      if (dir.Pick(20) == 0) {
        // A restart: the index comes back from its bytes.
        const std::string bytes = index.Serialize();
        ASSERT_TRUE(index.Parse(bytes, dir.Pattern()));
      }
      const bool byCd = dir.Pick(3) == 0;
      const TextString title = byCd ? "" : kTitles[dir.Pick(9)];
      const int32_t cdKey = byCd ? 11 * dir.Pick(3) : 0;
      const uint32_t cddbId = byCd ? 0xA + static_cast<uint32_t>(dir.Pick(2)) : 0;
      const bool found = plain.Search(dir.Pattern(), title, cdKey, cddbId);
      ASSERT_EQ(index.Search(indexed, dir.Pattern(), title, cdKey, cddbId), found)
          << "step " << step << " seed " << seed << " title " << title.c_str() << " plain " << plain.path.c_str();
      ExpectSameList(plain, indexed, found, step);
      matches += found;
      indexReads += index.LastSearch().read;
      listed += index.LastSearch().listed;
      // The caller resets the list after a failed search now and then, as the song change does.
      if (!found && dir.Pick(2) == 0) plain.Reset(title, 1, 0);
      indexed = plain;
    }
  }
  EXPECT_GT(matches, 20);
  // Most files are known from before: far fewer reads than files listed.
  EXPECT_LT(indexReads * 3, listed);
}

// The list FindByIdentity loads is the first of the listing that Load reads whole with that
// identity, through edits, rewrites within the time step and restarts.
TEST(DirectoryIndexTest, FindsByIdentityWhatLoadingEveryListFinds) {
  int found = 0, listed = 0, reads = 0;
  for (uint32_t seed : {5u, 6u}) {
    Bookmarks dir(seed);
    for (int i = 0; i < 30; ++i) dir.Edit();
    DirectoryIndex index;
    for (int step = 0; step < 120; ++step) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
      for (int edits = dir.Pick(4); edits > 0; --edits) dir.Edit();
      if (dir.Pick(4) == 0) dir.RewriteRecent();
      if (dir.Pick(10) == 0) {
        ASSERT_TRUE(index.Parse(index.Serialize(), dir.Pattern()));
      }
      const ContentIdentity wanted = Recording(dir.Pick(4));
      std::string expected;
      TrackList loaded;
      platform::EnumerateFiles(dir.Pattern(), [&](const TextString& name) {
        const std::string path = S(dir.Pattern().DirectoryPart()) + "\\" + S(name);
        if (loaded.Load(path.c_str(), "", 0, 0, true) && !wanted.IsEmpty() && loaded.recording.identity == wanted) {
          expected = path;
        }
        return expected.empty();
      });
      TrackList list;
      list.Reset("Before", 1, 0);
      ASSERT_EQ(index.FindByIdentity(list, dir.Pattern(), wanted), !expected.empty());
      if (expected.empty()) {
        EXPECT_EQ(S(list.album), "Unknown");
        EXPECT_TRUE(list.path.IsEmpty());
        continue;
      }
      EXPECT_EQ(S(list.path), expected);
      EXPECT_EQ(list.recording.identity, wanted);
      EXPECT_EQ(S(list.recording.path), S(loaded.recording.path));
      EXPECT_EQ(Rows(list), Rows(loaded));
      ++found;
      listed += index.LastSearch().listed;
      reads += index.LastSearch().read;
    }
  }
  EXPECT_GT(found, 40);
  EXPECT_LT(reads * 3, listed);  // known lists are not read again
}

// The map by identity never outlives the entries it points to (ASan tells), and a list that
// no longer names a recording is not found by it.
TEST(DirectoryIndexTest, AListGoneOrRewrittenIsNotFoundByItsOldIdentity) {
  test::TempDir dir;
  const TextString pattern = dir.Item("*.trk").c_str();
  auto list = [](int recording) {
    return "[Album ] A\r\n[Artist] B\r\n[File  ] " + std::string(kRecordings[recording]) + " C:\\x.mp3\r\n" +
           "01:00:00:00*One\r\n";
  };
  dir.Write("a.trk", list(0));
  dir.Write("b.trk", list(1));
  dir.Write("c.trk", list(1));
  DirectoryIndex index;
  TrackList found;
  ASSERT_TRUE(index.FindByIdentity(found, pattern, Recording(0)));
  EXPECT_EQ(S(found.path), dir.Item("a.trk"));
  fs::remove(fs::u8path(dir.Join("a.trk")));
  EXPECT_FALSE(index.FindByIdentity(found, pattern, Recording(0)));
  dir.Write("b.trk", "[Album ] A\r\n[Artist] B\r\n01:00:00:00*One, no recording now\r\n");
  ASSERT_TRUE(index.FindByIdentity(found, pattern, Recording(1)));
  EXPECT_EQ(S(found.path), dir.Item("c.trk"));
  EXPECT_FALSE(index.FindByIdentity(found, pattern, ContentIdentity()));
}

// A title holding a control character (a Ctrl+Z from a tag) names a list whose album the writer
// saved with a blank there; the plain search finds it, and the index must too.
TEST(DirectoryIndexTest, ATitleWithAControlCharacterFindsItsList) {
  test::TempDir dir;
  dir.Write("other.trk", "[Album ] Live Sets\r\n[Artist] A\r\n01:00:00:00*One\r\n");
  dir.Write("live.trk", "[Album ] Live Set\r\n[Artist] A\r\n01:00:00:00*One\r\n");
  const TextString pattern = dir.Item("*.trk").c_str();
  for (const char* title : {"Live\x1ASet", "live\tset"}) {
    TrackList plain, indexed;
    ASSERT_TRUE(plain.Search(pattern, title, 0, 0)) << title;
    DirectoryIndex index;
    ASSERT_TRUE(index.Search(indexed, pattern, title, 0, 0)) << title;
    EXPECT_EQ(S(indexed.path), S(plain.path));
  }
}

// A list that opens but fails to read (here a folder, which opens on some systems and reads on
// none) gives no facts to trust: the next search reads it again rather than taking the failure
// for an invalid list until the file changes.
TEST(DirectoryIndexTest, AListThatFailsToReadGivesNoFacts) {
  test::TempDir dir;
  ASSERT_TRUE(dir.MakeDir("folder.trk"));
  const ListFacts facts = ReadListFacts(dir.Item("folder.trk").c_str());
  EXPECT_FALSE(facts.Has(ListFacts::kOpened));
  EXPECT_FALSE(facts.Has(ListFacts::kValid));
}

TEST(DirectoryIndexTest, UnchangedDirectoryIsNotReadAgain) {
  Bookmarks dir(7);
  for (int i = 0; i < 12; ++i) dir.Edit();
  DirectoryIndex index;
  TrackList list;
  index.Search(list, dir.Pattern(), "No such title anywhere", 0, 0);
  const int listed = index.LastSearch().listed;
  EXPECT_EQ(static_cast<size_t>(listed), dir.Names().size());
  index.Search(list, dir.Pattern(), "No such title anywhere", 0, 0);
  EXPECT_EQ(index.LastSearch().listed, listed);
  // Only the files written "now" or in the future, and those too big to keep, are read again.
  EXPECT_LT(index.LastSearch().read + index.LastSearch().loaded, listed);
  EXPECT_GT(index.MemoryBytes(), 0u);
}

TEST(DirectoryIndexTest, StoredIndexIsRefusedWhenDamagedOrForeign) {
  Bookmarks dir(3);
  for (int i = 0; i < 10; ++i) dir.Edit();
  DirectoryIndex index;
  TrackList list;
  index.Search(list, dir.Pattern(), "Alpha", 0, 0);
  const std::string bytes = index.Serialize();
  EXPECT_FALSE(index.Modified());
  // Files written "now" are left out: they are read again anyway.
  DirectoryIndex reference;
  ASSERT_TRUE(reference.Parse(bytes, dir.Pattern()));
  const size_t count = reference.Count();
  ASSERT_GT(count, 0u);

  struct Case {
    const char* what;
    std::string bytes;
    TextString pattern;
    bool accepted;
  };
  std::string flipped = bytes;
  flipped[bytes.size() / 2] ^= 0x20;
  const std::string version = WithVersion(bytes, 1);            // names in the ANSI code page
  const std::string withoutIdentities = WithVersion(bytes, 2);  // before recordings' identities
  const std::string strictTags = WithVersion(bytes, 3);         // facts of the stricter .trk reader
  const Case cases[] = {
      {"intact", bytes, dir.Pattern(), true},
      {"another directory", bytes, "C:\\Elsewhere\\*.trk", false},
      {"one byte changed", flipped, dir.Pattern(), false},
      {"another version", version, dir.Pattern(), false},
      {"the version before identities", withoutIdentities, dir.Pattern(), false},
      {"the version of the stricter reader", strictTags, dir.Pattern(), false},
      {"cut short", bytes.substr(0, bytes.size() - 9), dir.Pattern(), false},
      {"empty", "", dir.Pattern(), false},
      {"other bytes", std::string(200, 'x'), dir.Pattern(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DirectoryIndex loaded;
    EXPECT_EQ(loaded.Parse(c.bytes, c.pattern), c.accepted);
    EXPECT_EQ(loaded.Count(), c.accepted ? count : 0u);
    EXPECT_EQ(loaded.Pattern(), S(c.pattern));
  }

  // Through a file: written whole, read back; a damaged file starts an empty index.
  test::TempDir home;
  const TextString path = home.Item("gen_tarnix.idx").c_str();
  index.Search(list, dir.Pattern(), "Alpha", 0, 0);
  ASSERT_TRUE(index.SaveTo(path));
  EXPECT_FALSE(test::TempDir::Exists(home.Join("gen_tarnix.idx.tmp")));
  DirectoryIndex reread;
  EXPECT_TRUE(reread.LoadFrom(path, dir.Pattern()));
  EXPECT_TRUE(reference.Parse(test::TempDir::Read(home.Join("gen_tarnix.idx")), dir.Pattern()));
  EXPECT_EQ(reread.Count(), reference.Count());
  EXPECT_GT(reread.Count(), 0u);
  home.Write("gen_tarnix.idx", bytes.substr(0, 20));
  EXPECT_FALSE(reread.LoadFrom(path, dir.Pattern()));
  EXPECT_EQ(reread.Count(), 0u);
}

}  // namespace
}  // namespace tarnix
