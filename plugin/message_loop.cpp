// The loop dispatches, and the window procedure does the work. Work that a send brings (a subsong
// source's announcements) is answered in the procedure, which copies what it needs and posts the
// rest to itself under the plug-in's own ids; the timer, keys, commands and those posts reach the
// procedure from this loop and equally from a popup menu's or a file dialog's, so tracking goes
// on while one is open. Quit is posted to the window for the same reason: any of those loops
// hands it over, and the procedure ends them all (plugin/quit_at_once.h). A failure in a callback
// is recorded by the guard and checked here after every message.

#include "plugin/message_loop.h"

#include "host/callback_guard.h"
#include "host/messaging.h"
#include "host/plugin.h"
#include "plugin/quit_at_once.h"

namespace tarnix {

namespace {

bool IsDialogsMessage(Plugin& plugin, MSG& msg) {
  for (const WindowHandle* dialog :
       {&plugin.trackDialog, &plugin.subtrackDialog, &plugin.optionsDialog, &plugin.aboutDialog}) {
    if (*dialog && IsDialogMessageW(dialog->Get(), &msg)) return true;
  }
  return false;
}

}  // namespace

bool HandleLoopMessage(const MSG& taken) {
  MSG msg = taken;
  if (!IsDialogsMessage(ThePlugin(), msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (CallbackFailed()) throw CallbackFailure{};
  if (!QuitArrived()) return true;
  FinishAtQuit();
  return false;
}

void RunMessageLoop() {
  if (CallbackFailed()) throw CallbackFailure{};
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) return;
    if (!HandleLoopMessage(msg)) return;
  }
}

}  // namespace tarnix
