#pragma once
// The plug-in window's widget tables in one place: where the twelve widgets sit, which skin
// images the buttons show and the frame's margins. The UI thread builds the window from
// these (see window_widgets.h).

#include <cstdint>

#include "skin/skin_geometry.h"
#include "skin/skin_math.h"

namespace tarnix {

constexpr LayoutRect kContentMargins{12, 20, -20, -38};
constexpr int32_t kBottomBarLeftWidth = 100;
constexpr int32_t kDefaultWidth = kMinWidth;
constexpr int32_t kDefaultHeight = kMinHeight;

constexpr int kButtonCount = 9;
constexpr int kCloseButton = 5;
constexpr int kGripButton = 6;
constexpr int kScrollUpButton = 7;
constexpr int kScrollDownButton = 8;

constexpr SkinPoint kNoImage{-1, -1};

// One button row: its layout and six image points (normal, pressed, on, on pressed,
// caption inactive, caption inactive on).
struct ButtonRow {
  LayoutRect layout;
  SkinPoint images[6];
};

constexpr ButtonRow kButtonRows[kButtonCount] = {
    {{-168, -30, -138, -10}, {{108, 80}, {108, 111}, kNoImage, kNoImage, kNoImage, kNoImage}},
    {{-138, -30, -108, -10}, {{138, 80}, {138, 111}, kNoImage, kNoImage, kNoImage, kNoImage}},
    {{-108, -30, -78, -10}, {{168, 80}, {168, 111}, kNoImage, kNoImage, kNoImage, kNoImage}},
    {{-78, -30, -48, -10}, {{198, 80}, {198, 111}, kNoImage, kNoImage, kNoImage, kNoImage}},
    {{-48, -30, -18, -10}, {{228, 80}, {228, 111}, kNoImage, kNoImage, kNoImage, kNoImage}},
    {{-11, 3, -2, 12}, {{167, 3}, {52, 42}, kNoImage, kNoImage, {167, 24}, kNoImage}},
    {{-18, -22, -1, -1}, {kNoImage, kNoImage, kNoImage, kNoImage, kNoImage, kNoImage}},
    {{-14, -36, -10, -32}, {kNoImage, kNoImage, kNoImage, kNoImage, kNoImage, kNoImage}},
    {{-14, -30, -10, -26}, {kNoImage, kNoImage, kNoImage, kNoImage, kNoImage, kNoImage}},
};

constexpr LayoutRect kTitleLayout{12, 20, -20, -38};
constexpr LayoutRect kTextInset{0, 2, -4, 0};
constexpr LayoutRect kListLayout{12, 20, -20, -38};
constexpr LayoutRect kScrollBarLayout{-15, 20, -7, -39};
constexpr LayoutRect kThumbRect{-15, 20, -7, 38};  // only its size counts: 8 by 18
constexpr SkinPoint kThumbNormal{52, 53};
constexpr SkinPoint kThumbPressed{61, 53};

// Title style the UI thread gives the title line: underlined.
constexpr int32_t kTitleStyle = 4;

}  // namespace tarnix
