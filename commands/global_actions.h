#pragma once
// The global actions: commands that the player's global hotkeys registry lets the listener bind to
// keys that work wherever the focus is, the plug-in's window shown or hidden. At start the plug-in
// registers one record per action with the player; such a key sends UM_GLOBAL_ACTION with the
// action's command id to the plug-in window, which posts that command to itself, so every action
// runs on the one command path. None of them takes the focus.

#include <windows.h>

#include <cstdint>

namespace tarnix {

class Plugin;

struct GlobalAction {
  int32_t command;      // IDM_GLOBAL_*
  const wchar_t* name;  // as the registry lists it: "Tarnix: ..."
  const char* id;       // kept across runs and versions: "Tarnix..."
};

constexpr int kGlobalActionCount = 7;
extern const GlobalAction kGlobalActions[kGlobalActionCount];

// Asks the player for its registry's code and sends it one record per action, each naming the
// plug-in window and UM_GLOBAL_ACTION; nothing is sent to a player without the registry. Returns
// the number of records sent.
int RegisterGlobalActions(Plugin& plugin);

// Whether a UM_GLOBAL_ACTION's wParam names a global action (any other value is ignored).
bool IsGlobalAction(WPARAM command);

// The actions' commands, each first bringing the list in step with what plays.
void CmdGlobalMark(Plugin& plugin);
void CmdGlobalNext(Plugin& plugin);
void CmdGlobalPrevious(Plugin& plugin);
void CmdGlobalRepeat(Plugin& plugin);
void CmdGlobalStopAfter(Plugin& plugin);
void CmdGlobalSkip(Plugin& plugin);
void CmdGlobalShowHide(Plugin& plugin);

}  // namespace tarnix
