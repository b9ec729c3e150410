#pragma once
// Adopting the player's current skin: its image ("Tarnix.bmp", or the built-in bitmap), the
// playlist colours and font face of its "PLEdit.txt", and the detection of skin changes by the
// last-write time of its "Main.bmp".

#include <windows.h>

#include "tracklist/text_string.h"

namespace tarnix {

class Plugin;

void CheckSkin(Plugin& plugin, bool force);
void AdoptSkin(Plugin& plugin, const TextString& bitmapPath);

}  // namespace tarnix
