#include "tests/support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace tarnix::test {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8, like every text of the plug-in; Windows opens them by their wide spelling.
std::FILE* Open(const std::string& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wide = fs::u8path(path).wstring();
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wide.c_str(), wideMode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 rng(seed());
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = base / ("tarnix-test-" + std::to_string(rng() % 1000000000ULL));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.u8string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(fs::u8path(path_), ec);
}

std::string TempDir::Join(const std::string& name) const {
#ifdef _WIN32
  return path_ + "\\" + name;
#else
  return path_ + "/" + name;
#endif
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::string path = Join(name);
  std::FILE* f = Open(path, "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string TempDir::Read(const std::string& path) {
  std::string out;
  std::FILE* f = Open(path, "rb");
  if (!f) return out;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

bool TempDir::MakeDir(const std::string& name) const {
  std::error_code ec;
  return fs::create_directory(fs::u8path(Join(name)), ec);
}

bool TempDir::Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::u8path(path), ec);
}

}  // namespace tarnix::test
