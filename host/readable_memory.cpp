#include "host/readable_memory.h"

#include <windows.h>

namespace tarnix {

size_t ReadableBytesAt(const void* address) {
  MEMORY_BASIC_INFORMATION info{};
  if (VirtualQuery(address, &info, sizeof info) != sizeof info) return 0;
  constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                              PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (info.State != MEM_COMMIT || (info.Protect & kReadable) == 0 || (info.Protect & PAGE_GUARD) != 0) return 0;
  return static_cast<size_t>(static_cast<const char*>(info.BaseAddress) + info.RegionSize -
                             static_cast<const char*>(address));
}

bool IsReadable(const void* address, size_t bytes) {
  const char* at = static_cast<const char*>(address);
  while (bytes > 0) {
    const size_t readable = ReadableBytesAt(at);
    if (readable == 0) return false;
    if (readable >= bytes) return true;
    at += readable;
    bytes -= readable;
  }
  return true;
}

std::optional<std::string> ReadableText(const char* text, size_t maxBytes) {
  std::string copy;
  const char* at = text;
  while (copy.size() < maxBytes) {
    const size_t readable = ReadableBytesAt(at);
    if (readable == 0) return std::nullopt;
    for (size_t i = 0; i < readable && copy.size() < maxBytes; ++i) {
      if (at[i] == '\0') return copy;
      copy.push_back(at[i]);
    }
    at += readable;
  }
  return copy;
}

}  // namespace tarnix
