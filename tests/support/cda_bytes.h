#pragma once
// The 44-byte header of a ".CDA" track file as the system writes it, for tests, the demo's
// sample disc and the benchmarks: "RIFF", the form "CDDA", a 24-byte "fmt " chunk with the
// track number, volume serial, start and length in frames, and the redundant start (with the
// 150-frame lead-in) and length as minute, second and frame bytes.

#include <cstdint>
#include <string>

namespace tarnix::testsupport {

std::string CdaHeaderBytes(int track, uint32_t volumeSerial, int32_t startFrame, int32_t lengthFrames);

}  // namespace tarnix::testsupport
