#include "demo/demo_log.h"

#include "testhost/request_log.h"

namespace tarnix::demo {

std::string FormatPosition(int ms) {
  if (ms < 0) return "stopped";
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d.%03d", ms / 60000, (ms / 1000) % 60, ms % 1000);
  return text;
}

DemoLog::DemoLog(const std::string& path, bool echo)
    : file_(std::fopen(path.c_str(), "wb")), echo_(echo), startMs_(testhost::SteadyMs()) {}

DemoLog::~DemoLog() {
  if (file_ != nullptr) std::fclose(file_);
}

void DemoLog::Line(const std::string& text) {
  char stamp[32];
  const double seconds = static_cast<double>(testhost::SteadyMs() - startMs_) / 1000.0;
  std::snprintf(stamp, sizeof stamp, "[%7.3f s] ", seconds);
  Plain(stamp + text);
}

void DemoLog::Plain(const std::string& text) {
  if (file_ != nullptr) {
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fwrite("\r\n", 1, 2, file_);
    std::fflush(file_);
  }
  if (echo_) std::printf("%s\n", text.c_str());
}

}  // namespace tarnix::demo
