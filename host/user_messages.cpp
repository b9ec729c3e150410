#include "host/user_messages.h"

#include "host/message_box.h"
#include "host/messaging.h"
#include "host/player_codes.h"
#include "host/plugin.h"

namespace tarnix {

int TellUser(const TextString& text, unsigned flags) {
  if (QuitPending()) return kNoAnswerAtQuit;
  const int answer = ShowMessageBox(ThePlugin().window.Get(), text.c_str(), kMessageCaption, flags, UM_QUIT, 0);
  return answer < 0 ? kNoAnswerAtQuit : answer;
}

void ReportFailure(const TextString& text) { TellUser(text, MB_OK | MB_ICONEXCLAMATION); }

}  // namespace tarnix
