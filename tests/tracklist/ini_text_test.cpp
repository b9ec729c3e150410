#include "tracklist/ini_text.h"

#include <gtest/gtest.h>

namespace tarnix {
namespace {

TEST(IniTextTest, SetsTheKeysOfOneSectionAndKeepsEverythingElse) {
  const IniValues values = {{"AutoSave", "1"}, {"BookmarkPath", "C:\\B"}};
  struct Case {
    const char* name;
    const char* before;
    const char* after;
  } const cases[] = {
      {"empty file", "", "[Tarnix Plugin]\r\nAutoSave=1\r\nBookmarkPath=C:\\B\r\n"},
      {"other sections stay", "[Other]\r\nAutoSave=0\r\n",
       "[Other]\r\nAutoSave=0\r\n[Tarnix Plugin]\r\nAutoSave=1\r\nBookmarkPath=C:\\B\r\n"},
      {"values replaced in place, others kept",
       "[tarnix plugin]\r\n autosave = 0\r\nOpened=1\r\n; note\r\n[Next]\r\nx=1",
       "[tarnix plugin]\r\nAutoSave=1\r\nOpened=1\r\n; note\r\nBookmarkPath=C:\\B\r\n[Next]\r\nx=1"},
      {"last line without a line end", "[Tarnix Plugin]\r\nAutoSave=0",
       "[Tarnix Plugin]\r\nAutoSave=1\r\nBookmarkPath=C:\\B\r\n"},
      {"a repeated key is written once", "[Tarnix Plugin]\nAutoSave=0\nAutoSave=0\n",
       "[Tarnix Plugin]\nAutoSave=1\nBookmarkPath=C:\\B\r\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithIniValues(c.before, "Tarnix Plugin", values), c.after) << c.name;
  EXPECT_TRUE(IsWideIniText("\xFF\xFE[\0"));
  EXPECT_FALSE(IsWideIniText("[Tarnix Plugin]"));
}

}  // namespace
}  // namespace tarnix
