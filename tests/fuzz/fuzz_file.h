#pragma once
// Scratch files for the fuzz targets: one directory per process, reused between inputs.

#include <cstddef>
#include <string>

namespace tarnix::fuzz {

std::string TempPath(const std::string& name);
// Writes the bytes to TempPath(name) and returns that path.
std::string WriteInput(const std::string& name, const void* data, size_t size);
// An empty directory (emptied on each call) inside the scratch directory.
std::string FreshDir(const std::string& name);
std::string WriteInDir(const std::string& dir, const std::string& name, const void* data, size_t size);

}  // namespace tarnix::fuzz
