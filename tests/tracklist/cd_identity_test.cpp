#include "tracklist/cd_identity.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/cda_bytes.h"
#include "tests/support/temp_dir.h"

namespace tarnix {
namespace {

using testsupport::CdaHeaderBytes;

TEST(CdIdentityTest, HeaderChecksTable) {
  struct Case {
    const char* label;
    std::string bytes;
    bool ok;
  };
  std::string chunk16 = CdaHeaderBytes(1, 7, 0, 100);
  chunk16[16] = 16;
  std::string form = CdaHeaderBytes(1, 7, 0, 100);
  form.replace(8, 4, "WAVE");
  std::string riff = CdaHeaderBytes(1, 7, 0, 100);
  riff[0] = 'X';
  std::string fmt = CdaHeaderBytes(1, 7, 0, 100);
  fmt.replace(12, 4, "data");
  const Case cases[] = {
      {"valid", CdaHeaderBytes(1, 7, 0, 100), true},
      {"chunk size 16", chunk16, false},
      {"form type", form, false},
      {"riff", riff, false},
      {"chunk id", fmt, false},
      {"43 bytes", CdaHeaderBytes(1, 7, 0, 100).substr(0, 43), false},
      {"empty", "", false},
      {"longer is fine", CdaHeaderBytes(1, 7, 0, 100) + "trailing", true},
  };
  for (const Case& c : cases) {
    CdaInfo info{};
    EXPECT_EQ(ParseCdaHeader(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), &info), c.ok)
        << c.label;
  }
}

TEST(CdIdentityTest, ReadCdaFileOutputs) {
  test::TempDir dir;
  dir.Write("Track01.cda", CdaHeaderBytes(0xFFFF, 0x22D3E4F0u, 20000, 52000));
  int track = 0;
  int32_t serial = 0, start = 0, length = 0;
  ASSERT_TRUE(ReadCdaFile(dir.Item("Track01.cda").c_str(), &track, &serial, &start, &length));
  EXPECT_EQ(track, -1);
  EXPECT_EQ(serial, static_cast<int32_t>(0x22D3E4F0u));
  EXPECT_EQ(start, 20150);
  EXPECT_EQ(length, 52000);
  EXPECT_TRUE(ReadCdaFile(dir.Item("Track01.cda").c_str(), nullptr, nullptr, nullptr, nullptr));

  dir.Write("bad.cda", CdaHeaderBytes(2, 1, 0, 1).substr(0, 40));
  track = 42;
  EXPECT_FALSE(ReadCdaFile(dir.Item("bad.cda").c_str(), &track, &serial, &start, &length));
  EXPECT_EQ(track, 42);  // untouched
  EXPECT_FALSE(ReadCdaFile(dir.Item("missing.cda").c_str(), &track, nullptr, nullptr, nullptr));
}

TEST(CdIdentityTest, WorkedExamples) {
  EXPECT_EQ(DiscIdOf({{150, 20000}, {20150, 52000}}), 0x1203C002u);
  EXPECT_EQ(DiscIdOf({{20150, 52000}, {150, 20000}}), 0x1203C002u);
  EXPECT_EQ(DiscIdOf({{150, 75 * 60}}), 0x02003C01u);
  EXPECT_EQ(DiscIdOf({}), 0u);
  // A start below 75 frames adds nothing to the digit sum.
  EXPECT_EQ(DiscIdOf({{74, 75}}) >> 24, 0u);
}

TEST(CdIdentityTest, ComputeDiscIdOverADirectory) {
  test::TempDir dir;
  dir.Write("Track02.cda", CdaHeaderBytes(2, 5, 20000, 52000));
  dir.Write("Track01.CDA", CdaHeaderBytes(1, 5, 0, 20000));
  dir.Write("Track03.cda", CdaHeaderBytes(3, 5, 0, 1).substr(0, 20));  // unreadable: skipped
  dir.Write("notes.txt", CdaHeaderBytes(4, 5, 90000, 10));             // other extension: not listed
  ASSERT_TRUE(dir.MakeDir("sub.cda"));
  int count = -1;
  EXPECT_EQ(ComputeDiscId(dir.Item("Track01.CDA").c_str(), &count), 0x1203C002u);
  EXPECT_EQ(count, 2);

  test::TempDir empty;
  count = -1;
  EXPECT_EQ(ComputeDiscId(empty.Item("Track01.cda").c_str(), &count), 0u);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(ComputeDiscId(empty.Item("nowhere\\Track01.cda").c_str(), nullptr), 0u);
}

TEST(CdIdentityTest, IdDoesNotDependOnListingOrder) {
  // The same disc written in two creation orders: directories list them differently.
  const int32_t starts[] = {0, 14000, 29000, 51000, 80000, 99000, 120000, 150000};
  uint32_t ids[2];
  for (int order = 0; order < 2; ++order) {
    test::TempDir dir;
    for (int k = 0; k < 8; ++k) {
      const int i = order == 0 ? k : 7 - k;
      char name[32];
      std::snprintf(name, sizeof name, "Track%02d.cda", (i * 5) % 8 + 1);  // names unrelated to starts
      dir.Write(name, CdaHeaderBytes(i + 1, 9, starts[i], (i == 7 ? 20000 : starts[i + 1] - starts[i])));
    }
    int count = 0;
    ids[order] = ComputeDiscId(dir.Item("Track01.cda").c_str(), &count);
    EXPECT_EQ(count, 8);
  }
  EXPECT_EQ(ids[0], ids[1]);
  EXPECT_EQ(ids[0] & 0xFF, 8u);
}

}  // namespace
}  // namespace tarnix
