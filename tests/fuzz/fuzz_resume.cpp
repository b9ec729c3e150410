// Fuzz target: the resume store's file. Any bytes parse or are refused whole; what parses is
// written back as it was read: parsing the written form gives the same store, written the same.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "listening/resume_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tarnix::listening::ResumeStore;
  ResumeStore store;
  if (!store.Parse(std::string_view(reinterpret_cast<const char*>(data), size))) {
    if (store.Count() != 0) __builtin_trap();  // refused whole
    return 0;
  }
  const std::string written = store.Format();
  ResumeStore again;
  if (!again.Parse(written) || again.Count() != store.Count() || again.Format() != written) __builtin_trap();
  return 0;
}
