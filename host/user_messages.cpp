#include "host/user_messages.h"

#include "host/message_box.h"
#include "host/player_codes.h"
#include "host/plugin.h"

namespace tarnix {

int TellUser(const TextString& text, unsigned flags, bool watchQuit) {
  return ShowMessageBox(ThePlugin().window.Get(), text.c_str(), kMessageCaption, flags, watchQuit ? UM_QUIT : 0, 0);
}

void ReportFailure(const TextString& text) { TellUser(text, MB_OK | MB_ICONEXCLAMATION, true); }

}  // namespace tarnix
