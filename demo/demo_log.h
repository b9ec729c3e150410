#pragma once
// DemoLog: the demo's readable record, one time-stamped line per event, written to demo.log
// (flushed line by line, so a demo that stops early still leaves its story) and echoed to
// standard output when asked.

#include <cstdint>
#include <cstdio>
#include <string>

namespace tarnix::demo {

// "mm:ss.mmm" of a play position in ms, "stopped" for a negative one; minutes are not limited.
std::string FormatPosition(int ms);

class DemoLog {
 public:
  DemoLog(const std::string& path, bool echo);
  ~DemoLog();
  DemoLog(const DemoLog&) = delete;
  DemoLog& operator=(const DemoLog&) = delete;

  bool Ok() const { return file_ != nullptr; }
  // One line with the seconds since the log was opened.
  void Line(const std::string& text);
  // A line without time stamp (headings, file contents).
  void Plain(const std::string& text);

 private:
  std::FILE* file_;
  bool echo_;
  std::int64_t startMs_;
};

}  // namespace tarnix::demo
