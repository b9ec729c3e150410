// Test runner. With "--print-module-name FILE" it only writes its own module path to FILE, so a
// test can run a copy of this program from a deep directory and check the path it reports.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tracklist/platform.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--print-module-name") == 0) {
    const tarnix::TextString name = tarnix::FromModuleFileName(nullptr);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!out) return 2;
    const bool ok =
        std::fwrite(name.c_str(), 1, static_cast<size_t>(name.Length()), out) == static_cast<size_t>(name.Length());
    return (std::fclose(out) == 0 && ok) ? 0 : 3;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
