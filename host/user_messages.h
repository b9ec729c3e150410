#pragma once
// The plug-in's messages to the user, all in its own message box owned by the plug-in window
// and captioned "Tarnix Plugin".

#include <windows.h>

#include "tracklist/text_string.h"

namespace tarnix {

constexpr const char* kMessageCaption = "Tarnix Plugin";

// Shows text with the MB_ flags; with watchQuit the box gives up when UM_QUIT is waiting.
// Returns the box's answer (-1 when it gave up).
int TellUser(const TextString& text, unsigned flags, bool watchQuit);

// An OK box with the exclamation icon that gives up on UM_QUIT: how failures are reported.
void ReportFailure(const TextString& text);

}  // namespace tarnix
