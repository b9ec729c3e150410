#pragma once
// The sizes the skin image and the window share, in pixels, for every part of the frame that
// draws, lays out, resizes or snaps: the image is cut in these tiles, and the window grows by
// whole tiles so that the border and the bottom bar always end on a tile's edge.

#include <cstdint>

namespace tarnix {

// The window: its smallest (and first) size, and the steps it grows in.
constexpr int32_t kMinWidth = 275;
constexpr int32_t kMinHeight = 116;
constexpr int32_t kResizeStepX = 25;
constexpr int32_t kResizeStepY = 29;

// The caption: repeated tiles, the title piece in the middle, and its top strip, which moves the
// window and holds the caption buttons.
constexpr int32_t kCaptionTile = 25;
constexpr int32_t kCaptionTitleWidth = 100;
constexpr int32_t kCaptionHeight = 20;
constexpr int32_t kCaptionStripHeight = 14;

// The side borders' tile in the skin image, one resize step high.
constexpr int32_t kBorderTileY = 42;
constexpr int32_t kBorderTileHeight = kResizeStepY;

// The bottom bar: its left and right pieces together are the smallest width; between them go
// filler pieces, one resize step wide, and wide pieces of three.
constexpr int32_t kBarTotalWidth = kMinWidth;
constexpr int32_t kBarFillerWidth = kResizeStepX;
constexpr int32_t kBarWideWidth = 3 * kResizeStepX;

// The smallest skin image every piece can be copied from: the bottom bar's wide piece ends at
// x 280, the pressed bar buttons at y 131. A smaller image would draw whatever lies outside it.
constexpr int32_t kSkinImageMinWidth = 280;
constexpr int32_t kSkinImageMinHeight = 131;

}  // namespace tarnix
