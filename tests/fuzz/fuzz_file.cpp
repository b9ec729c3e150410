#include "tests/fuzz/fuzz_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tarnix::fuzz {

namespace fs = std::filesystem;

namespace {

const std::string& Scratch() {
  static const std::string dir = [] {
    fs::path p = fs::temp_directory_path() / ("tarnix-fuzz-" + std::to_string(getpid()));
    fs::create_directories(p);
    std::atexit([] {
      std::error_code ec;
      fs::remove_all(fs::temp_directory_path() / ("tarnix-fuzz-" + std::to_string(getpid())), ec);
    });
    return p.string();
  }();
  return dir;
}

void WriteBytes(const std::string& path, const void* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  if (std::fclose(f) != 0) std::abort();
}

}  // namespace

std::string TempPath(const std::string& name) { return Scratch() + "/" + name; }

std::string WriteInput(const std::string& name, const void* data, size_t size) {
  const std::string path = TempPath(name);
  WriteBytes(path, data, size);
  return path;
}

std::string FreshDir(const std::string& name) {
  const fs::path p = fs::path(Scratch()) / name;
  std::error_code ec;
  fs::remove_all(p, ec);
  fs::create_directories(p);
  return p.string();
}

std::string WriteInDir(const std::string& dir, const std::string& name, const void* data, size_t size) {
  const std::string path = dir + "/" + name;
  WriteBytes(path, data, size);
  return path;
}

}  // namespace tarnix::fuzz
