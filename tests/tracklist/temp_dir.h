#pragma once
// TempDir: a fresh directory for one test's files, removed with everything in it afterwards.

#include <string>

namespace tarnix::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory in the system's own spelling, without a trailing separator.
  const std::string& Path() const { return path_; }
  // Path of `name` inside the directory, joined with the system's separator.
  std::string Join(const std::string& name) const;
  // Writes `bytes` exactly (binary) and returns the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // Reads a whole file as bytes; empty when it can't be opened.
  static std::string Read(const std::string& path);
  static bool Exists(const std::string& path);

 private:
  std::string path_;
};

}  // namespace tarnix::test
