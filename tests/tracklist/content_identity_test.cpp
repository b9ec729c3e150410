#include "tracklist/content_identity.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tracklist/platform.h"
#ifdef _WIN32
#include "tests/support/file_hold.h"
#endif

namespace tarnix {
namespace {

constexpr uint64_t kBlock = ContentIdentity::kBlockBytes;
constexpr uint64_t kMaxRead = ContentIdentity::kMaxRead;

// Bytes that differ at every position, so that reading the wrong part of a file shows.
std::string Pattern(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (char& c : bytes) {
    x = x * 1664525u + 1013904223u;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

// What a file of these bytes must be sampled as: all of it, or its two ends.
std::string Sample(const std::string& bytes) {
  if (bytes.size() <= kMaxRead) return bytes;
  return bytes.substr(0, kBlock) + bytes.substr(bytes.size() - kBlock);
}

// The identity of the file, and the opens and bytes read it took.
ContentIdentity ReadCounted(const std::string& path, IdentityReadCounts* took) {
  const IdentityReadCounts before = IdentityReads();
  const ContentIdentity identity = ReadContentIdentity(path.c_str());
  *took = {IdentityReads().opens - before.opens, IdentityReads().bytes - before.bytes};
  return identity;
}

TEST(ContentIdentityTest, ReadsTheWholeSmallFileOrBothEndsOnceOpened) {
  const size_t sizes[] = {1, 15, 16, 17, 4096, kBlock, kMaxRead - 1, kMaxRead, kMaxRead + 1, 3 * kMaxRead + 5};
  test::TempDir dir;
  for (const size_t size : sizes) {
    SCOPED_TRACE(size);
    const std::string bytes = Pattern(size, static_cast<unsigned>(size));
    IdentityReadCounts took;
    EXPECT_EQ(ReadCounted(dir.Write("f.bin", bytes), &took), IdentityOfSample(size, Sample(bytes)));
    EXPECT_EQ(took.opens, 1u);
    EXPECT_EQ(took.bytes, size < kMaxRead ? size : kMaxRead);
  }
}

// Same recording or not, for pairs of files; what lies between the two ends of a large file is
// not looked at.
TEST(ContentIdentityTest, TellsRecordingsApartByBothEndsAndTheSize) {
  const std::string small = Pattern(1000, 1), large = Pattern(kMaxRead + 5000, 2);
  auto changed = [](std::string bytes, size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 1);
    return bytes;
  };
  const struct Case {
    const char* what;
    std::string a, b;
    bool same;
  } cases[] = {
      {"a copy", large, large, true},
      {"small, first byte", small, changed(small, 0), false},
      {"small, last byte", small, changed(small, 999), false},
      {"large, last byte of the head", large, changed(large, kBlock - 1), false},
      {"large, first byte of the tail", large, changed(large, large.size() - kBlock), false},
      {"large, last byte", large, changed(large, large.size() - 1), false},
      {"large, a byte in the middle", large, changed(large, kBlock + 100), true},
      {"same ends, another size", large, large.substr(0, kBlock) + "x" + large.substr(kBlock), false},
      {"same bytes, one more zero", small, small + std::string(1, '\0'), false},
      {"all zeros, other sizes", std::string(64, '\0'), std::string(65, '\0'), false},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ContentIdentity a = ReadContentIdentity(dir.Write("a.bin", c.a).c_str());
    const ContentIdentity b = ReadContentIdentity(dir.Write("b.bin", c.b).c_str());
    ASSERT_FALSE(a.IsEmpty());
    ASSERT_FALSE(b.IsEmpty());
    EXPECT_EQ(a == b, c.same);
  }
  // Any one changed byte of what is read gives another hash, wherever it lies in a word.
  const ContentIdentity base = IdentityOfSample(small.size(), small);
  for (size_t at = 0; at < small.size(); ++at) {
    for (const int bit : {0, 7}) {
      std::string other = small;
      other[at] = static_cast<char>(other[at] ^ (1 << bit));
      ASSERT_NE(IdentityOfSample(other.size(), other), base) << at << " bit " << bit;
    }
  }
}

TEST(ContentIdentityTest, NoIdentityWhatCannotBeReadOrIsStillWritten) {
  test::TempDir dir;
  const std::string good = dir.Write("song.mp3", Pattern(5000, 3));
  const struct Case {
    const char* what;
    std::string path;
    uint64_t opens;
  } cases[] = {
      {"missing", dir.Join("gone.mp3"), 0},
      {"empty", dir.Write("empty.mp3", ""), 1},
      {"a CD track file", dir.Write("Track01.CDA", Pattern(44, 4)), 0},
      {"no path", "", 0},
  };
  for (const Case& c : cases) {
    IdentityReadCounts took;
    EXPECT_TRUE(ReadCounted(c.path, &took).IsEmpty()) << c.what;
    EXPECT_EQ(took.opens, c.opens) << c.what;
    EXPECT_EQ(took.bytes, 0u) << c.what;
  }
  EXPECT_TRUE(ReadContentIdentity(dir.Path().c_str()).IsEmpty());  // a folder
  // A program still writing it: the size moved between the two looks.
  const ContentIdentity whole = ReadContentIdentity(good.c_str());
  {
    ScopedIdentityReadHook writing([&] {
      std::FILE* f = std::fopen(good.c_str(), "ab");
      ASSERT_NE(f, nullptr);
      std::fputs("more", f);
      std::fclose(f);
    });
    EXPECT_TRUE(ReadContentIdentity(good.c_str()).IsEmpty());
  }
  EXPECT_TRUE(HoldsRecording(good.c_str(), ReadContentIdentity(good.c_str())));
  EXPECT_FALSE(HoldsRecording(good.c_str(), whole));
}

#ifdef _WIN32
TEST(ContentIdentityTest, AFileHeldByAnotherProgram) {
  test::TempDir dir;
  const std::string path = dir.Write("held.mp3", Pattern(70000, 5));
  const ContentIdentity free = ReadContentIdentity(path.c_str());
  ASSERT_FALSE(free.IsEmpty());
  {
    testsupport::FileHold sharing(path, FILE_SHARE_READ);
    ASSERT_TRUE(sharing.Holding());
    EXPECT_EQ(ReadContentIdentity(path.c_str()), free);
  }
  testsupport::FileHold exclusive(path, 0);
  ASSERT_TRUE(exclusive.Holding());
  EXPECT_TRUE(ReadContentIdentity(path.c_str()).IsEmpty());
}
#endif

// A sparse file past 4 GB: sizes and offsets must not be cut to 32 bits on the 32-bit build.
TEST(ContentIdentityTest, FilesPastFourGigabytes) {
  constexpr uint64_t kSize = (uint64_t{1} << 32) + 12345;
  test::TempDir dir;
  const std::string path = dir.Write("long.wav", "RIFF head");
  std::string tail = Pattern(kBlock, 6);
  {
    platform::File file(path.c_str(), "r+b");
    ASSERT_TRUE(file);
    ASSERT_TRUE(platform::SeekFile(file.get(), kSize - tail.size()));
    ASSERT_EQ(std::fwrite(tail.data(), 1, tail.size(), file.get()), tail.size());
    ASSERT_TRUE(file.Close());
  }
  std::string head = "RIFF head";
  head.resize(kBlock, '\0');
  IdentityReadCounts took;
  const ContentIdentity identity = ReadCounted(path, &took);
  EXPECT_EQ(identity.size, kSize);
  EXPECT_EQ(identity, IdentityOfSample(kSize, head + tail));
  EXPECT_EQ(took.bytes, kMaxRead);
}

TEST(ContentIdentityTest, TextForm) {
  ContentIdentity identity;
  identity.size = UINT64_MAX;
  identity.high = 0x0123456789ABCDEFull;
  identity.low = 0xFEDCBA9876543210ull;
  const std::string text = FormatContentIdentity(identity);
  EXPECT_EQ(text, "18446744073709551615 0123456789abcdeffedcba9876543210");
  ContentIdentity back;
  ASSERT_TRUE(ParseContentIdentity(text, &back));
  EXPECT_EQ(back, identity);
  const std::string hex(32, 'a');
  for (const std::string& bad : {"0 " + hex, "+5 " + hex, "18446744073709551616 " + hex, "5 " + hex.substr(1),
                                 "5 " + hex + "a", "5  " + hex.substr(1), "5 " + hex.substr(1) + "g", std::string()}) {
    EXPECT_FALSE(ParseContentIdentity(bad, &back)) << bad;
  }
  EXPECT_TRUE(ParseContentIdentity("5 " + std::string(32, 'F'), &back));
}

}  // namespace
}  // namespace tarnix
