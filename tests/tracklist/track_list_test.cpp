#include "tracklist/track_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tracklist/item_id.h"
#include "tracklist/msf.h"

namespace tarnix {
namespace {

std::string S(const TextString& t) { return std::string(t.c_str(), static_cast<size_t>(t.Length())); }

class TrackListTest : public ::testing::Test {
 protected:
  // A one-track list whose track has subtracks at the given times.
  Track& MakeTrack(const std::vector<int32_t>& times) {
    list_.Reset("Song", 1, 0);
    Track& t = list_.tracks[0];
    t.subtracks[0].time = times[0];
    for (size_t i = 1; i < times.size(); ++i) {
      Subtrack s;
      s.name = ("s" + std::to_string(i)).c_str();
      s.time = times[i];
      t.subtracks.push_back(s);
    }
    list_.modified = false;
    return t;
  }

  TrackList list_;
};

TEST(MsfTest, ConversionsTable) {
  struct Case {
    int32_t ms;
    Msf msf;
  };
  const Case cases[] = {
      {0, {0, 0, 0}},         {59999, {0, 59, 75}},         {61013, {1, 1, 1}},  {994, {0, 0, 75}},
      {993, {0, 0, 74}},      {135533, {2, 15, 40}},        {65160, {1, 5, 12}}, {5999999, {99, 59, 75}},
      {6000000, {100, 0, 0}}, {INT32_MAX, {35791, 23, 49}},
  };
  for (const Case& c : cases) {
    const Msf m = MsfFromTime(c.ms);
    EXPECT_EQ(m.minutes, c.msf.minutes) << c.ms;
    EXPECT_EQ(m.seconds, c.msf.seconds) << c.ms;
    EXPECT_EQ(m.frames, c.msf.frames) << c.ms;
  }
  EXPECT_EQ(TimeFromMsf(0, 0, 74), 987);
  EXPECT_EQ(TimeFromMsf(0, 0, 75), 1000);
  EXPECT_EQ(TimeFromMsf(0, 0, 1), 13);
  EXPECT_EQ(TimeFromMsf(0, 75, 0), 75000);
  EXPECT_EQ(TimeFromMsf(0, 0, 80), 1067);
  EXPECT_EQ(TimeFromMsf(2, 15, 40), 135533);
  EXPECT_EQ(TimeFromMsf(1000000, 0, 0), INT32_MAX);  // held, not wrapped
}

TEST(MsfTest, EveryFrameSurvivesTheRoundTrip) {
  for (int minutes : {0, 1, 99, 500}) {
    for (int f = 0; f <= 74; ++f) {
      const Msf m = MsfFromTime(TimeFromMsf(minutes, 7, f));
      EXPECT_EQ(m.frames, f);
      EXPECT_EQ(m.seconds, 7);
      EXPECT_EQ(m.minutes, minutes);
    }
  }
}

TEST(ItemIdTest, Parts) {
  EXPECT_EQ(MakeItemId(1, 0), 0x10000);
  EXPECT_EQ(ItemTrack(MakeItemId(3, 7)), 3);
  EXPECT_EQ(ItemSubtrack(MakeItemId(3, 7)), 7);
  EXPECT_EQ(ItemTrack(MakeItemId(65535, 65535)), 65535);
  EXPECT_EQ(MakeItemId(65535, 65535), kNoItem);
  EXPECT_EQ(ItemTrack(kHeaderItem), 0);
}

TEST_F(TrackListTest, ResetTable) {
  struct Case {
    const char* title;
    int count;
    uint32_t cddb;
    std::vector<std::string> names;
    const char* album;
    bool subsongs;
    uint32_t stored_cddb;
  };
  const Case cases[] = {
      {"My Song", 1, 0, {"My Song"}, "Unknown", false, 0},
      {"", 1, 0, {"Unknown"}, "Unknown", false, 0},
      {"Disc", 3, 0x1203C002, {"Track 1", "Track 2", "Track 3"}, "Unknown", false, 0x1203C002},
      {"Mix", 2, 0xFFFFFFFFu, {"Subsong 1", "Subsong 2"}, "Mix", true, 0},
      {"Zero", 0, 0, {"Zero"}, "Unknown", false, 0},
      {"Neg", -5, 0, {"Neg"}, "Unknown", false, 0},
  };
  for (const Case& c : cases) {
    TrackList list;
    list.path = "old.trk";
    list.artist = "old";
    list.cdKey = 5;
    list.modified = true;
    list.Reset(c.title, c.count, c.cddb);
    ASSERT_EQ(list.TrackCount(), static_cast<int>(c.names.size())) << c.title;
    for (size_t i = 0; i < c.names.size(); ++i) {
      const Track& t = list.tracks[i];
      EXPECT_EQ(t.number, static_cast<int>(i + 1));
      EXPECT_EQ(t.owner, &list);
      ASSERT_EQ(t.Count(), 1);
      EXPECT_EQ(S(t.subtracks[0].name), c.names[i]);
      EXPECT_EQ(t.subtracks[0].time, 0);
    }
    EXPECT_EQ(S(list.album), c.album);
    EXPECT_EQ(list.subsongs, c.subsongs);
    EXPECT_EQ(list.cddbId, c.stored_cddb);
    EXPECT_FALSE(list.modified);
    EXPECT_EQ(list.cdKey, 0);
    EXPECT_TRUE(list.path.IsEmpty());
    EXPECT_TRUE(list.artist.IsEmpty());
    EXPECT_EQ(list.currentTrack, 0);
  }
}

TEST_F(TrackListTest, AddSubtrackGoesAfterEqualTimes) {
  Track& t = MakeTrack({0, 5000, 5000});
  EXPECT_EQ(t.FindAt(4999), 0);
  EXPECT_EQ(t.FindAt(5000), 2);
  EXPECT_EQ(t.AddSubtrack("new", 5000), 3);
  EXPECT_EQ(S(t.subtracks[3].name), "new");
  EXPECT_TRUE(list_.modified);
  EXPECT_EQ(t.FindAt(5000), 3);
  EXPECT_EQ(t.AddSubtrack("mid", 100), 1);
  EXPECT_EQ(t.FindAt(-1), -1);
}

TEST_F(TrackListTest, NothingGoesBeforeTheStartEntry) {
  Track& t = MakeTrack({2000});
  EXPECT_EQ(t.AddSubtrack("early", 1000), -1);
  EXPECT_EQ(t.Count(), 1);
  EXPECT_FALSE(list_.modified);
  EXPECT_EQ(t.FindAt(1999), -1);
  EXPECT_EQ(t.FindAt(2000), 0);
  Track empty;
  EXPECT_EQ(empty.FindAt(0), -1);
  EXPECT_EQ(empty.AddSubtrack("x", 0), -1);
}

TEST_F(TrackListTest, TimeToNext) {
  Track& t = MakeTrack({0, 1000, 3000});
  EXPECT_EQ(t.TimeToNext(2, 3500), -1);
  EXPECT_EQ(t.TimeToNext(1, 2997), 3);
  EXPECT_EQ(t.TimeToNext(0, 1500), -500);
  EXPECT_EQ(t.TimeToNext(-1, 0), -1);
  EXPECT_EQ(t.TimeToNext(3, 0), -1);
}

TEST_F(TrackListTest, SetSubtrackTimeMovesAndKeepsOrder) {
  struct Case {
    std::vector<int32_t> times;
    int index;
    int32_t time;
    int expected_index;
    bool modified;
    std::vector<int32_t> after;
  };
  const Case cases[] = {
      {{0, 1000, 3000, 5000}, 1, 2000, 1, true, {0, 2000, 3000, 5000}},   // between the neighbours
      {{0, 1000, 3000, 5000}, 1, 1000, 1, false, {0, 1000, 3000, 5000}},  // unchanged time
      {{0, 1000, 3000, 5000}, 1, 4000, 2, true, {0, 3000, 4000, 5000}},   // past the next one
      {{0, 1000, 3000, 5000}, 1, 5000, 3, true, {0, 3000, 5000, 5000}},   // after equal times
      {{0, 1000, 3000, 5000}, 3, 500, 1, true, {0, 500, 1000, 3000}},     // backwards
      {{0, 1000, 3000, 5000}, 9, 500, 9, false, {0, 1000, 3000, 5000}},   // invalid index
      {{2000, 3000, 4000}, 2, 1000, 1, true, {2000, 2000, 3000}},         // before the start: held there
      {{2000, 3000}, 1, 500, 1, true, {2000, 2000}},
  };
  for (const Case& c : cases) {
    Track& t = MakeTrack(c.times);
    const TextString name = c.index < t.Count() ? t.subtracks[static_cast<size_t>(c.index)].name : TextString();
    const int got = t.SetSubtrackTime(c.index, c.time);
    EXPECT_EQ(got, c.expected_index);
    EXPECT_EQ(list_.modified, c.modified);
    ASSERT_EQ(t.Count(), static_cast<int>(c.after.size()));
    for (size_t i = 0; i < c.after.size(); ++i) EXPECT_EQ(t.subtracks[i].time, c.after[i]) << i;
    if (t.IsValidIndex(got) && !name.IsEmpty()) {
      EXPECT_EQ(S(t.subtracks[static_cast<size_t>(got)].name), S(name));
    }
  }
}

TEST_F(TrackListTest, RenameAndHeaderIgnoreLetterCase) {
  Track& t = MakeTrack({0, 1000});
  t.RenameSubtrack(1, "S1");
  EXPECT_FALSE(list_.modified);
  EXPECT_EQ(S(t.subtracks[1].name), "s1");
  t.RenameSubtrack(5, "x");
  EXPECT_FALSE(list_.modified);
  t.RenameSubtrack(1, "other");
  EXPECT_TRUE(list_.modified);
  EXPECT_EQ(S(t.subtracks[1].name), "other");

  list_.modified = false;
  list_.SetAlbum("UNKNOWN");
  EXPECT_FALSE(list_.modified);
  list_.SetAlbum("Live");
  EXPECT_TRUE(list_.modified);
  list_.modified = false;
  list_.SetArtist("");
  EXPECT_FALSE(list_.modified);
  list_.SetArtist("Band");
  EXPECT_TRUE(list_.modified);
  EXPECT_EQ(S(list_.artist), "Band");
}

TEST_F(TrackListTest, FollowingThePlayerIsNoEdit) {
  Track& t = MakeTrack({0, 1000});
  const std::string second = S(t.subtracks[1].name);
  for (const bool wasModified : {false, true}) {
    list_.modified = wasModified;
    list_.FollowAlbum("From the player");
    t.FollowName("Announced");
    EXPECT_EQ(list_.modified, wasModified);
  }
  EXPECT_EQ(S(list_.album), "From the player");
  EXPECT_EQ(S(t.subtracks[0].name), "Announced");
  EXPECT_EQ(S(t.subtracks[1].name), second);  // only the track's own name follows
}

TEST_F(TrackListTest, RemoveSubtrack) {
  Track& t = MakeTrack({0, 1000, 2000});
  t.RemoveSubtrack(3);
  t.RemoveSubtrack(-1);
  EXPECT_FALSE(list_.modified);
  t.RemoveSubtrack(1);
  EXPECT_TRUE(list_.modified);
  ASSERT_EQ(t.Count(), 2);
  EXPECT_EQ(t.subtracks[1].time, 2000);
}

TEST_F(TrackListTest, TimeOfAndCurrentTrack) {
  list_.Reset("Disc", 3, 0x1234);
  list_.tracks[1].AddSubtrack("b", 700);
  EXPECT_EQ(list_.TimeOf(MakeItemId(2, 1)), 700);
  EXPECT_EQ(list_.TimeOf(MakeItemId(2, 0)), 0);
  EXPECT_EQ(list_.TimeOf(MakeItemId(0, 0)), -1);
  EXPECT_EQ(list_.TimeOf(MakeItemId(4, 0)), -1);
  EXPECT_EQ(list_.TimeOf(MakeItemId(2, 2)), -1);
  EXPECT_EQ(list_.TimeOf(kNoItem), -1);
  list_.SetCurrentTrack(3);
  EXPECT_EQ(list_.currentTrack, 2);
  EXPECT_EQ(list_.CurrentTrackNumber(), 3);
  list_.SetCurrentTrack(0);
  list_.SetCurrentTrack(4);
  EXPECT_EQ(list_.currentTrack, 2);
}

TEST_F(TrackListTest, CopiesOwnTheirTracks) {
  list_.Reset("Disc", 2, 0x1234);
  list_.path = "a.trk";
  list_.modified = true;
  TrackList copy;
  copy.Assign(list_);
  EXPECT_TRUE(copy.modified);
  EXPECT_EQ(S(copy.path), "a.trk");
  EXPECT_EQ(copy.cddbId, 0x1234u);
  for (const Track& t : copy.tracks) EXPECT_EQ(t.owner, &copy);
  copy.modified = false;
  copy.tracks[0].AddSubtrack("x", 10);
  EXPECT_TRUE(copy.modified);
  EXPECT_EQ(list_.tracks[0].Count(), 1);
  TrackList moved(std::move(copy));
  for (const Track& t : moved.tracks) EXPECT_EQ(t.owner, &moved);
  TrackList assigned;
  assigned = moved;
  for (const Track& t : assigned.tracks) EXPECT_EQ(t.owner, &assigned);
  EXPECT_EQ(assigned.tracks[0].Count(), 2);
}

}  // namespace
}  // namespace tarnix
