// The block line reader must hand out exactly the lines the string type's own reader gives,
// wherever a block boundary falls; the .trk reader relies on both agreeing.

#include "tracklist/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/unreadable_stream.h"
#include "tracklist/text_string.h"

namespace tarnix {
namespace {

struct Lines {
  std::vector<std::string> texts;
  std::vector<bool> terminated;  // the byte behind each line was a NUL
};

Lines WithTextString(const std::string& path) {
  Lines out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  TextString line;
  while (f && line.ReadLine(f)) {
    out.texts.emplace_back(line.c_str(), static_cast<size_t>(line.Length()));
    out.terminated.push_back(true);
  }
  if (f) std::fclose(f);
  return out;
}

Lines WithLineReader(const std::string& path, size_t block) {
  Lines out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  LineReader reader(f, block);
  const char* line;
  int length;
  while (reader.Next(&line, &length)) {
    out.texts.emplace_back(line, static_cast<size_t>(length));
    out.terminated.push_back(line[length] == '\0');
  }
  if (f) std::fclose(f);
  return out;
}

Lines FromMemory(const std::string& bytes) {
  Lines out;
  LineReader reader{std::string_view(bytes)};
  const char* line;
  int length;
  while (reader.Next(&line, &length)) {
    out.texts.emplace_back(line, static_cast<size_t>(length));
    out.terminated.push_back(line[length] == '\0');
  }
  return out;
}

// Bytes in memory (a kept edit) read as the file holding them.
TEST(LineReaderTest, SameLinesAsTheStringReaderAtEveryBlockSize) {
  test::TempDir dir;
  const std::string inputs[] = {
      "",
      "\n",
      "\n\n\n",
      "one\r\ntwo\n\nlast without break",
      "crlf\r\n",
      "lone cr\rinside\r\n",
      "trailing breaks\r\r\n\r\n",
      std::string("ab\0cd\nnext\n", 11),
      std::string("ab\r\0cd\n\0\nend", 13),
      "01:00:00:00*A\r\n01:00:01:00 B\r\n02:03:04:05*C",
      std::string(100, 'x') + "\n" + std::string(37, 'y'),
  };
  int case_number = 0;
  for (const std::string& bytes : inputs) {
    const std::string path = dir.Write("case" + std::to_string(case_number++) + ".txt", bytes);
    const Lines expected = WithTextString(path);
    for (size_t block : {1, 2, 3, 5, 7, 16, 64, 4096}) {
      const Lines got = WithLineReader(path, block);
      EXPECT_EQ(got.texts, expected.texts) << "case " << case_number - 1 << " block " << block;
      for (bool t : got.terminated) EXPECT_TRUE(t) << "case " << case_number - 1 << " block " << block;
    }
    const Lines inMemory = FromMemory(bytes);
    EXPECT_EQ(inMemory.texts, expected.texts) << "case " << case_number - 1 << " in memory";
    for (bool t : inMemory.terminated) EXPECT_TRUE(t) << "case " << case_number - 1 << " in memory";
  }
}

TEST(LineReaderTest, LongLinesBesideShortOnes) {
  test::TempDir dir;
  const std::string big(3 * 1024 * 1024 + 17, 'm');
  const std::string path = dir.Write("long.txt", "short\r\n" + big + "\r\nafter\n" + big);
  const Lines got = WithLineReader(path, LineReader::kBlock);
  ASSERT_EQ(got.texts.size(), 4u);
  EXPECT_EQ(got.texts[0], "short");
  EXPECT_EQ(got.texts[1], big);
  EXPECT_EQ(got.texts[2], "after");
  EXPECT_EQ(got.texts[3], big);
}

// A Ctrl-Z ends the file only with nothing but blanks behind it; before text it is a byte of its
// line, wherever the blocks split the file.
TEST(LineReaderTest, CtrlZEndsTheFileOnlyAtItsEndAtEveryBlockSize) {
  test::TempDir dir;
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n\x1A", {"a", "b"}},
      {"a\r\nb\x1A", {"a", "b"}},
      {"a\r\nb\x1A\r\n  \t\r\n\x1A\x1A\n", {"a", "b"}},
      {"a\r\n\x1A"
       "b\r\n\x1A",
       {"a",
        "\x1A"
        "b"}},
      {"\x1A"
       "a\n",
       {"\x1A"
        "a"}},
      {"Part \x1A two\r\nPart three\r\n", {"Part \x1A two", "Part three"}},
      {"a\x1A\r\n   \r\n\x1A x", {"a\x1A", "   ", "\x1A x"}},
      {"\x1A", {}},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string path = dir.Write("z" + std::to_string(n++) + ".txt", c.bytes);
    for (size_t block : {1, 2, 3, 4, 5, 4096}) {
      EXPECT_EQ(WithLineReader(path, block).texts, c.lines) << n << " " << block;
    }
    EXPECT_EQ(FromMemory(c.bytes).texts, c.lines) << n << " in memory";
  }
}

// A stream that fails to read (a failing device, a dropped network share) is no end of the file:
// the lines handed out so far are not all of them.
TEST(LineReaderTest, AReadFailureIsNoEndOfFile) {
  test::TempDir dir;
  const std::string path = dir.Write("w.trk", "[Album ] A\r\n[Artist] B\r\n");
  std::FILE* f = test::OpenUnreadable(path);
  ASSERT_NE(f, nullptr);
  LineReader reader(f, 4);
  const char* line = nullptr;
  int length = -1;
  EXPECT_THROW(reader.Next(&line, &length), LineReader::ReadFailure);
  std::fclose(f);
}

TEST(LineReaderTest, NoFileHasNoLines) {
  LineReader reader(nullptr);
  const char* line = nullptr;
  int length = -1;
  EXPECT_FALSE(reader.Next(&line, &length));
  EXPECT_FALSE(reader.Next(&line, &length));
}

}  // namespace
}  // namespace tarnix
