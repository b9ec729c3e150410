#pragma once
// The plug-in's messages to the user, all in its own message box owned by the plug-in window
// and captioned "Tarnix Plugin".

#include <windows.h>

#include "tracklist/text_string.h"

namespace tarnix {

constexpr const char* kMessageCaption = "Tarnix Plugin";
// What TellUser returns when quit came: no answer. A question that gets it is not a yes and not
// a no; its asker keeps what it asked about.
constexpr int kNoAnswerAtQuit = -1;

// Shows text with the MB_ flags and returns the box's answer. Nobody may wait for an answer at
// quit: with quit pending (host/messaging.h, QuitPending) no box is shown, and a box showing
// when UM_QUIT is posted gives up; both return kNoAnswerAtQuit.
int TellUser(const TextString& text, unsigned flags);

// An OK box with the exclamation icon: how failures are reported.
void ReportFailure(const TextString& text);

}  // namespace tarnix
