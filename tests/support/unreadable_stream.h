#pragma once
// A stream whose every read fails, as one on a failing device or a dropped network share does:
// opened for reading, with its descriptor swapped for one of the same file opened for writing
// only. The runtime then reads, the system refuses, and the stream's error flag is set: a stream
// opened for writing alone would not do, since some runtimes refuse its reads before trying.

#include <fcntl.h>

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tarnix::test {

// Null when the file cannot be opened both ways.
inline std::FILE* OpenUnreadable(const std::string& path) {
  std::FILE* stream = std::fopen(path.c_str(), "rb");
  if (!stream) return nullptr;
#ifdef _WIN32
  const int writeOnly = _open(path.c_str(), _O_WRONLY | _O_BINARY);
  const bool swapped = writeOnly >= 0 && _dup2(writeOnly, _fileno(stream)) == 0;
  if (writeOnly >= 0) _close(writeOnly);
#else
  const int writeOnly = open(path.c_str(), O_WRONLY);
  const bool swapped = writeOnly >= 0 && dup2(writeOnly, fileno(stream)) >= 0;
  if (writeOnly >= 0) close(writeOnly);
#endif
  if (swapped) return stream;
  std::fclose(stream);
  return nullptr;
}

}  // namespace tarnix::test
