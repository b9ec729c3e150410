#pragma once
// Draws the built-in skin image: every piece that the plug-in's frame, buttons and scroll bar
// copy from, at the coordinates of skin_layout.h.

#include "canvas.h"

namespace tarnix::skin {

Canvas DrawSkinImage();

// Composes the plug-in window at width x height from `skin` the way the frame paints its
// tiled layout (caption, borders, bottom bar, thumb at the top), with an empty black list.
Canvas ComposeWindow(const Canvas& skin, int width, int height, bool active);

}  // namespace tarnix::skin
