#include "host/user_messages.h"

#include "host/message_box.h"
#include "host/messaging.h"
#include "host/player_codes.h"

namespace tarnix {

int TellUser(HWND owner, const TextString& text, unsigned flags) {
  if (QuitPending()) return kNoAnswerAtQuit;
  const int answer = ShowMessageBox(owner, text.c_str(), kMessageCaption, flags, UM_QUIT, 0);
  return answer < 0 ? kNoAnswerAtQuit : answer;
}

void ReportFailure(HWND owner, const TextString& text) { TellUser(owner, text, MB_OK | MB_ICONEXCLAMATION); }

}  // namespace tarnix
