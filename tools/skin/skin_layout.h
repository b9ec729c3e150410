#pragma once
// Where the pieces of a skin image lie: the source rectangles that the plug-in's frame,
// buttons and scroll bar copy from, as x, y, width, height in the image.

namespace tarnix::skin::layout {

struct Piece {
  int x, y, w, h;
};

constexpr int kImageWidth = 280;
constexpr int kImageHeight = 132;

// Caption pieces; `y` is the active row, add kCaptionInactiveRow for the inactive one.
constexpr int kCaptionInactiveRow = 21;
constexpr Piece kCaptionLeft{0, 0, 25, 20};
constexpr Piece kCaptionTitle{26, 0, 100, 20};
constexpr Piece kCaptionFiller{127, 0, 25, 20};
constexpr Piece kCaptionRight{153, 0, 25, 20};

constexpr Piece kBorderLeft{0, 42, 12, 29};
constexpr Piece kBorderRight{31, 42, 20, 29};

constexpr Piece kBarLeft{0, 72, 100, 38};
constexpr Piece kBarFiller{179, 0, 25, 38};
constexpr Piece kBarWide{205, 0, 75, 38};
constexpr Piece kBarRight{101, 72, 175, 38};

// The five bottom buttons: normal images at (kButtonX + i * kButtonStep, kButtonY), pressed
// images at kButtonPressedY.
constexpr int kButtonX = 108, kButtonStep = 30, kButtonY = 80, kButtonPressedY = 111;
constexpr int kButtonW = 30, kButtonH = 20;

constexpr Piece kCloseNormal{167, 3, 9, 9};
constexpr Piece kCloseInactive{167, 24, 9, 9};
constexpr Piece kClosePressed{52, 42, 9, 9};

constexpr Piece kThumbNormal{52, 53, 8, 18};
constexpr Piece kThumbPressed{61, 53, 8, 18};
// The column of the right border tile that lies under the scroll thumb.
constexpr int kTrackColumnX = 36;

// Painted details of the bottom bar's right piece, in image coordinates.
constexpr Piece kArrowUp{262, 74, 5, 5};
constexpr Piece kArrowDown{262, 80, 5, 5};
constexpr Piece kGrip{258, 88, 18, 22};

}  // namespace tarnix::skin::layout
