#pragma once
// The committed chapter fixtures (see fixtures/make-chapter-fixtures.sh) and what they hold.

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "import/chapter.h"

namespace tarnix::testing {

inline std::string FixturePath(const std::string& name) { return std::string(TARNIX_IMPORT_FIXTURES "/") + name; }

inline std::string ReadFixture(const std::string& name) {
  std::ifstream in(FixturePath(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

using Expected = std::vector<std::pair<int64_t, std::string>>;

// The chapters every tool was given.
inline const Expected kFixtureChapters = {{0, "Intro"}, {250, "Zweite Straße"}, {600, "終章"}};

inline Expected Flatten(const ChapterSet& set) {
  Expected out;
  for (const auto& c : set.chapters) out.emplace_back(c.timeMs, c.name);
  return out;
}

}  // namespace tarnix::testing
