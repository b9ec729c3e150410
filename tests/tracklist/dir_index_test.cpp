#include "tracklist/dir_index.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tarnix {
namespace {

namespace fs = std::filesystem;

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

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
    if (at != std::string::npos) {
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
  std::string flipped = bytes, version = bytes;
  flipped[bytes.size() / 2] ^= 0x20;
  version[8] = 1;  // the version that held names in the ANSI code page
  const Case cases[] = {
      {"intact", bytes, dir.Pattern(), true},
      {"another directory", bytes, "C:\\Elsewhere\\*.trk", false},
      {"one byte changed", flipped, dir.Pattern(), false},
      {"another version", version, dir.Pattern(), false},
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
