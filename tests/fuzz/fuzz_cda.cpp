// Fuzz target: ReadCdaFile and ComputeDiscId over a directory of track files cut from the
// input (each piece is one file; pieces are separated by the bytes "|CDA|").

#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/fuzz_file.h"
#include "tracklist/cd_identity.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string dir = tarnix::fuzz::FreshDir("cda");
  const std::string input(reinterpret_cast<const char*>(data), size);
  size_t begin = 0;
  int files = 0;
  int readable = 0;
  while (begin <= input.size() && files < 120) {
    size_t end = input.find("|CDA|", begin);
    if (end == std::string::npos) end = input.size();
    const std::string name = "Track" + std::to_string(files + 1) + ".cda";
    const std::string path = tarnix::fuzz::WriteInDir(dir, name, input.data() + begin, end - begin);
    int track = 0;
    int32_t serial = 0, start = 0, length = 0;
    if (tarnix::ReadCdaFile(path.c_str(), &track, &serial, &start, &length)) ++readable;
    ++files;
    begin = end + 5;
  }
  int count = -1;
  const uint32_t id = tarnix::ComputeDiscId((dir + "\\Track1.cda").c_str(), &count);
  if (count != readable) __builtin_trap();
  if (count == 0 && id != 0) __builtin_trap();
  if (count > 0 && (id & 0xFF) != static_cast<uint32_t>(count & 0xFF)) __builtin_trap();
  return 0;
}
