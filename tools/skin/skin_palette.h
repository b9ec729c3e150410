#pragma once
// The colours of the built-in skin image, shared by its generator and the tests that check
// the compiled bitmap resource.

#include <cstdint>

namespace tarnix::skin::palette {

// Plain 0xRRGGBB values so that Windows code can compare them with GetPixel results.
constexpr std::uint32_t kOuterHi = 0x6A6E80;    // outer top and left edge of the frame
constexpr std::uint32_t kFrameHi = 0x4E5264;    // raised detail on the frame
constexpr std::uint32_t kFrame = 0x2E313D;      // frame body
constexpr std::uint32_t kFrameDark = 0x24262F;  // caption band
constexpr std::uint32_t kShadow = 0x16171E;     // outer bottom and right edge, well edge
constexpr std::uint32_t kDeep = 0x0A0A0E;       // innermost edge of the list well
constexpr std::uint32_t kWellHi = 0x565B6C;     // lower and right edge of the list well
constexpr std::uint32_t kStripeOn = 0x5680C4;   // caption stripes, active
constexpr std::uint32_t kStripeOff = 0x404350;  // caption stripes, inactive
constexpr std::uint32_t kTitleOn = 0xD6E2FA;    // caption title, active
constexpr std::uint32_t kTitleOff = 0x808492;   // caption title, inactive
constexpr std::uint32_t kPlate = 0x181A22;      // recessed title plate
constexpr std::uint32_t kButtonFace = 0x3E4251;
constexpr std::uint32_t kButtonHi = 0x686E82;
constexpr std::uint32_t kButtonShadow = 0x181920;
constexpr std::uint32_t kButtonDownFace = 0x282B36;
constexpr std::uint32_t kLabel = 0xCCD2E2;
constexpr std::uint32_t kLabelDown = 0x96C4FF;
constexpr std::uint32_t kTrack = 0x101116;      // scroll track and arrow box
constexpr std::uint32_t kTrackLine = 0x20222A;  // separators in the track
constexpr std::uint32_t kThumbFace = 0x585E74;
constexpr std::uint32_t kThumbHi = 0x8C92A8;
constexpr std::uint32_t kThumbShadow = 0x22242E;
constexpr std::uint32_t kThumbDownFace = 0x607CB0;

}  // namespace tarnix::skin::palette
