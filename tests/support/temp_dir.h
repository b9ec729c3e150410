#pragma once
// TempDir: a fresh directory for one test's files, removed with everything in it afterwards.
// Every path and name is UTF-8.

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
  // Path of `name` joined with "\", the separator the track list core splits at (the POSIX
  // side of the seam maps it back to "/").
  std::string Item(const std::string& name) const { return path_ + "\\" + name; }
  // Writes `bytes` exactly (binary) and returns the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // Reads a whole file as bytes; empty when it can't be opened.
  static std::string Read(const std::string& path);
  bool MakeDir(const std::string& name) const;
  static bool Exists(const std::string& path);

 private:
  std::string path_;
};

}  // namespace tarnix::test
