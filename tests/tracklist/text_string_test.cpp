#include "tracklist/text_string.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace tarnix {
namespace {

TEST(TextStringTest, ReserveArithmetic) {
  struct Case {
    int n;
    int capacity;
  };
  const Case cases[] = {{0, 30}, {1, 30}, {30, 30}, {31, 62}, {32, 62}, {62, 62}, {63, 94}, {1000, 1022}};
  for (const Case& c : cases) {
    TextString s;
    s.Reserve(c.n);
    EXPECT_EQ(s.Capacity(), c.capacity) << "Reserve(" << c.n << ")";
    EXPECT_EQ(s.ShareCount(), 1);
  }
}

TEST(TextStringTest, ReserveKeepsOwnBufferAndContent) {
  TextString s("hello");
  s.Reserve(40);
  const char* before = s.Data();
  s.Reserve(10);  // fits: same buffer
  EXPECT_EQ(s.Data(), before);
  EXPECT_EQ(s.Capacity(), 62);
  EXPECT_STREQ(s.c_str(), "hello");
  // Asking for less than the length never drops characters.
  TextString long_text(std::string(100, 'x').c_str());
  long_text.Reserve(0);
  EXPECT_EQ(long_text.Length(), 100);
  EXPECT_GE(long_text.Capacity(), 100);
}

TEST(TextStringTest, EmptyStringsOwnNothing) {
  TextString a, b(nullptr), c(0, "abc"), d(-3, "abc"), e(3, nullptr);
  for (const TextString* s : {&a, &b, &c, &d, &e}) {
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(s->Capacity(), 0);
    EXPECT_EQ(s->ShareCount(), 0);
    EXPECT_STREQ(s->c_str(), "");
  }
  EXPECT_EQ(TextString(2, "abc"), "ab");
  EXPECT_EQ(TextString(10, "abc"), "abc");
}

TEST(TextStringTest, CopiesShareUpTo255) {
  TextString original("shared text");
  std::vector<TextString> copies;
  copies.reserve(300);
  for (int i = 0; i < 300; ++i) copies.push_back(original);
  for (int i = 0; i < 254; ++i) {
    EXPECT_EQ(copies[i].Data(), original.Data()) << i;
    EXPECT_EQ(copies[i].Capacity(), 0);
  }
  EXPECT_EQ(original.ShareCount(), 255);
  for (int i = 254; i < 300; ++i) {
    EXPECT_NE(copies[i].Data(), original.Data()) << i;
    EXPECT_EQ(copies[i], "shared text");
  }
  copies[10] += "!";
  copies[280] += "?";
  original.ToUpper();
  EXPECT_EQ(std::string(copies[10].c_str()), "shared text!");
  EXPECT_EQ(std::string(copies[280].c_str()), "shared text?");
  EXPECT_EQ(std::string(original.c_str()), "SHARED TEXT");
  EXPECT_EQ(std::string(copies[0].c_str()), "shared text");
  EXPECT_EQ(std::string(copies[299].c_str()), "shared text");
  EXPECT_EQ(copies[0].ShareCount(), 253);  // original and copies[10] left
}

TEST(TextStringTest, ReleaseFreesLastSharer) {
  // Under ASan this catches a double free or a leak of the shared buffer.
  auto* a = new TextString("abc");
  TextString b(*a);
  EXPECT_EQ(b.ShareCount(), 2);
  delete a;
  EXPECT_EQ(b.ShareCount(), 1);
  b += "d";  // sole sharer without a capacity gets a buffer of its own
  EXPECT_EQ(b, "abcd");
  TextString c;
  c = b;
  const TextString& same = c;
  c = same;  // self-assignment keeps the value
  EXPECT_EQ(c, "abcd");
  TextString moved(std::move(c));
  EXPECT_EQ(moved, "abcd");
  EXPECT_TRUE(c.IsEmpty());  // NOLINT: checking the moved-from state on purpose
}

TEST(TextStringTest, ShorteningAStringLeavesItsCopies) {
  for (int length : {0, 2}) {
    TextString owner;
    owner.Reserve(8);
    owner = "abcdef";
    const TextString copy(owner);
    owner.SetLength(length);
    EXPECT_EQ(owner, TextString(length, "abcdef"));
    EXPECT_EQ(copy, "abcdef");
    EXPECT_EQ(copy.Length(), 6);
  }
}

TEST(TextStringTest, EqualityTable) {
  struct Case {
    const char* a;
    const char* b;
    bool exact;
    bool ignoringCase;
  };
  const Case cases[] = {
      {"Track", "Track", true, true},
      {"Track", "TRACK", false, true},
      {"track", "tracks", false, false},
      {"[", "{", false, false},                // only letters fold
      {"\xC3\xA4", "\xC3\x84", false, false},  // nor the bytes of other characters
      {"", nullptr, true, true},
      {"a", nullptr, false, false},
      {"", "", true, true},
  };
  for (const Case& c : cases) {
    const TextString a(c.a);
    EXPECT_EQ(a == c.b, c.exact) << c.a;
    EXPECT_EQ(a.EqualsIgnoringCase(c.b), c.ignoringCase) << c.a;
    if (!c.b) continue;
    const TextString b(c.b);
    EXPECT_EQ(a == b, c.exact) << c.a;
    EXPECT_EQ(a != b, !c.exact) << c.a;
    EXPECT_EQ(a.EqualsIgnoringCase(b), c.ignoringCase) << c.a;
    EXPECT_EQ(b.EqualsIgnoringCase(a), c.ignoringCase) << c.a;
  }
}

TEST(TextStringTest, FindTable) {
  struct Case {
    const char* hay;
    const char* needle;
    int start;
    int exact;
    int ignoringCase;
  };
  const Case cases[] = {
      {"My Soundtrack 2", "track", 0, 8, 8},
      {"My SoundTRACK 2", "track", 0, -1, 8},
      {"Track 1 track", "track", 0, 8, 0},
      {"My Soundtrack 2", "", 0, 0, 0},
      {"My Soundtrack 2", nullptr, 0, 0, 0},
      {"abc", "c", 4, -1, -1},
      {"abc", "c", 2, 2, 2},
      {"abc", "c", 3, -1, -1},
      {"abc", "abcd", 0, -1, -1},
      {"abab", "AB", 1, -1, 2},
      {"", "a", 0, -1, -1},
      {"abc", "a", -5, 0, 0},
  };
  for (const Case& c : cases) {
    const TextString hay(c.hay);
    EXPECT_EQ(hay.Find(c.needle, c.start), c.exact)
        << c.hay << " / " << (c.needle ? c.needle : "(null)") << " @" << c.start;
    EXPECT_EQ(hay.FindIgnoringCase(c.needle, c.start), c.ignoringCase)
        << c.hay << " / " << (c.needle ? c.needle : "(null)") << " @" << c.start;
  }
}

TEST(TextStringTest, SubstringsTable) {
  const TextString s("abcdef");
  EXPECT_EQ(std::string(s.Mid(3, -1).c_str()), "def");
  EXPECT_EQ(std::string(s.Mid(3).c_str()), "def");
  EXPECT_TRUE(s.Mid(6, 2).IsEmpty());
  EXPECT_EQ(std::string(s.Mid(4, 10).c_str()), "ef");
  EXPECT_EQ(std::string(s.Mid(1, 2).c_str()), "bc");
  EXPECT_EQ(std::string(TextString("abc").Right(10).c_str()), "abc");
  EXPECT_EQ(std::string(s.Right(2).c_str()), "ef");
  EXPECT_TRUE(s.Right(0).IsEmpty());
  EXPECT_EQ(std::string(s.Left(2).c_str()), "ab");
  EXPECT_TRUE(s.Left(-1).IsEmpty());
  EXPECT_EQ(std::string(s.Left(99).c_str()), "abcdef");
  EXPECT_EQ(std::string(TextString("ab").Repeat(3).c_str()), "ababab");
  EXPECT_TRUE(TextString("ab").Repeat(0).IsEmpty());
}

TEST(TextStringTest, PathPartsTable) {
  struct Case {
    const char* path;
    const char* file;
    const char* dir;
    const char* without_ext;
    const char* upper_ext;
  };
  const Case cases[] = {
      {"D:\\Track01.cda", "Track01.cda", "D:", "D:\\Track01", "CDA"},
      {"song", "song", "", "", ""},
      {"a.b\\song", "song", "a.b", "a", ""},
      {"C:\\music/x.mp3", "music/x.mp3", "C:", "C:\\music/x", "MP3"},
      {"dir\\", "", "dir", "", ""},
      {"x.tar.gz", "x.tar.gz", "", "x.tar", "GZ"},
  };
  for (const Case& c : cases) {
    const TextString p(c.path);
    EXPECT_EQ(std::string(p.FileNamePart().c_str()), c.file) << c.path;
    EXPECT_EQ(std::string(p.DirectoryPart().c_str()), c.dir) << c.path;
    EXPECT_EQ(std::string(p.WithoutExtension().c_str()), c.without_ext) << c.path;
    EXPECT_EQ(std::string(p.UpperExtension().c_str()), c.upper_ext) << c.path;
  }
}

TEST(TextStringTest, AppendAndConcatenate) {
  TextString s("ab");
  s.Append(static_cast<const char*>(nullptr));
  s += 'c';
  s += TextString("de");
  s.Append("fgh", 2);
  EXPECT_EQ(std::string(s.c_str()), "abcdefg");
  s.Append(s.Data() + 1, 3);  // from its own buffer
  EXPECT_EQ(std::string(s.c_str()), "abcdefgbcd");
  s.Append(s);
  EXPECT_EQ(std::string(s.c_str()), "abcdefgbcdabcdefgbcd");
  EXPECT_EQ(std::string(("x" + TextString("y") + "z").c_str()), "xyz");
  EXPECT_EQ(std::string((TextString("x") + TextString("y")).c_str()), "xy");
  TextString big;
  for (int i = 0; i < 10000; ++i) big += 'q';
  EXPECT_EQ(big.Length(), 10000);
  s = s.Data() + 3;  // assignment from its own characters
  EXPECT_EQ(std::string(s.c_str()), "defgbcdabcdefgbcd");
}

TEST(TextStringTest, FormatGrowsUntilItFits) {
  TextString s;
  EXPECT_EQ(s.Format("%02d:%02d:%02d", 1, 2, 3), 8);
  EXPECT_EQ(std::string(s.c_str()), "01:02:03");
  const std::string long_text(5000, 'z');
  EXPECT_EQ(s.Format("[%s]", long_text.c_str()), 5002);
  EXPECT_EQ(std::string(s.c_str()), "[" + long_text + "]");
  // Exactly at the boundary of the first buffer (capacity 62, limit 60 characters).
  for (int n = 58; n <= 64; ++n) {
    const std::string t(static_cast<size_t>(n), 'k');
    EXPECT_EQ(s.Format("%s", t.c_str()), n);
    EXPECT_EQ(std::string(s.c_str()), t);
  }
  // Formatting the string's own characters into itself.
  s = "abc";
  s.Format("%s-%s", s.c_str(), s.c_str());
  EXPECT_EQ(std::string(s.c_str()), "abc-abc");
}

TEST(TextStringTest, ToUpperOnlyAsciiLetters) {
  TextString s("abc xyz 09 \xe4");
  s.ToUpper();
  EXPECT_EQ(std::string(s.c_str()), "ABC XYZ 09 \xe4");
}

class ReadLineTest : public ::testing::Test {
 protected:
  std::FILE* Open(const std::string& bytes) {
    path_ = dir_.Write("lines.txt", bytes);
    file_ = std::fopen(path_.c_str(), "rb");
    return file_;
  }
  void TearDown() override {
    if (file_) std::fclose(file_);
  }
  test::TempDir dir_;
  std::string path_;
  std::FILE* file_ = nullptr;
};

TEST_F(ReadLineTest, LinesAndEndOfFile) {
  std::FILE* f = Open("one\r\ntwo\n\nlast without break");
  ASSERT_TRUE(f);
  TextString s;
  const char* const lines[] = {"one", "two", "", "last without break"};
  for (const char* line : lines) {
    ASSERT_TRUE(s.ReadLine(f)) << line;
    EXPECT_EQ(s, line);
  }
  // The end stays the end, and is told apart from the empty line above.
  EXPECT_FALSE(s.ReadLine(f));
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_FALSE(s.ReadLine(f));
}

TEST_F(ReadLineTest, EmptyFileAndNoFileEndAtOnce) {
  std::FILE* f = Open("");
  ASSERT_TRUE(f);
  TextString s("old");
  EXPECT_FALSE(s.ReadLine(f));
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_FALSE(s.ReadLine(nullptr));
}

TEST_F(ReadLineTest, LongLinesAtEveryBoundaryAreWhole) {
  // Lengths around each buffer size the reader passes through, with and without breaks.
  const int lengths[] = {60, 61, 62, 63, 124, 125, 126, 127, 128, 1000, 70000};
  for (int n : lengths) {
    for (const char* tail : {"\r\n", "\n", "\r\r\n"}) {
      const std::string line(static_cast<size_t>(n), 'a');
      std::FILE* f = Open(line + tail + "next\n");
      ASSERT_TRUE(f);
      TextString s;
      ASSERT_TRUE(s.ReadLine(f));
      EXPECT_EQ(s.Length(), n) << n << " tail " << std::string(tail).size();
      EXPECT_EQ(std::string(s.c_str()), line);
      ASSERT_TRUE(s.ReadLine(f));
      EXPECT_EQ(s, "next");
      std::fclose(f);
      file_ = nullptr;
    }
    // The same line as the last of the file, without a break.
    const std::string line(static_cast<size_t>(n), 'b');
    std::FILE* f = Open(line);
    ASSERT_TRUE(f);
    TextString s;
    ASSERT_TRUE(s.ReadLine(f));
    EXPECT_EQ(s.Length(), n);
    EXPECT_FALSE(s.ReadLine(f));
    std::fclose(f);
    file_ = nullptr;
  }
}

TEST_F(ReadLineTest, FiveMegabyteLine) {
  const std::string line(5 * 1024 * 1024, 'm');
  std::FILE* f = Open(line + "\r\n");
  ASSERT_TRUE(f);
  TextString s;
  ASSERT_TRUE(s.ReadLine(f));
  ASSERT_EQ(s.Length(), static_cast<int>(line.size()));
  EXPECT_EQ(s.Data()[0], 'm');
  EXPECT_EQ(s.Data()[line.size() - 1], 'm');
}

TEST_F(ReadLineTest, NulByteEndsTheLine) {
  std::FILE* f = Open(std::string("ab\0cd\nnext\n", 11));
  ASSERT_TRUE(f);
  TextString s;
  ASSERT_TRUE(s.ReadLine(f));
  EXPECT_EQ(std::string(s.c_str()), "ab");
  ASSERT_TRUE(s.ReadLine(f));
  EXPECT_EQ(s, "next");
}

TEST_F(ReadLineTest, ReadingIntoASharedStringLeavesTheCopy) {
  std::FILE* f = Open("fresh\n");
  ASSERT_TRUE(f);
  TextString s("old");
  TextString copy(s);
  ASSERT_TRUE(s.ReadLine(f));
  EXPECT_EQ(std::string(s.c_str()), "fresh");
  EXPECT_EQ(std::string(copy.c_str()), "old");
}

}  // namespace
}  // namespace tarnix
