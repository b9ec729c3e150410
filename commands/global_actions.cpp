#include "commands/global_actions.h"

#include "commands/commands.h"
#include "commands/editing.h"
#include "host/player.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "session/playback_tracking.h"
#include "session/player_following.h"

namespace tarnix {

const GlobalAction kGlobalActions[kGlobalActionCount] = {
    {IDM_GLOBAL_MARK, L"Tarnix: Insert subtrack at the playing time", "TarnixInsertSubtrack"},
    {IDM_GLOBAL_NEXT, L"Tarnix: Next subtrack", "TarnixNextSubtrack"},
    {IDM_GLOBAL_PREVIOUS, L"Tarnix: Previous subtrack", "TarnixPreviousSubtrack"},
    {IDM_GLOBAL_REPEAT, L"Tarnix: Repeat this subtrack", "TarnixRepeatSubtrack"},
    {IDM_GLOBAL_STOP_AFTER, L"Tarnix: Stop after this subtrack", "TarnixStopAfterSubtrack"},
    {IDM_GLOBAL_SKIP, L"Tarnix: Skip this subtrack", "TarnixSkipSubtrack"},
    {IDM_GLOBAL_SHOW_HIDE, L"Tarnix: Show or hide the list", "TarnixShowHideList"},
};

namespace {

// The registry may keep the records (and the texts they point at) rather than copy them, and a
// send that timed out is still delivered later: so they live as long as the DLL. Only the UI
// thread registers.
HotkeyRecord g_records[kGlobalActionCount];

}  // namespace

int RegisterGlobalActions(Plugin& plugin) {
  const Player player(Shared().playerWindow);
  const LPARAM code = player.RegisteredCode(kHotkeysRegistryName);
  if (code == 0 || !plugin.window()) return 0;
  for (int i = 0; i < kGlobalActionCount; ++i) {
    HotkeyRecord& record = g_records[i];
    record = HotkeyRecord{};
    record.name = kGlobalActions[i].name;
    record.flags = kHotkeyWideName;
    record.message = UM_GLOBAL_ACTION;
    record.wParam = static_cast<WPARAM>(kGlobalActions[i].command);
    record.lParam = 0;
    record.id = kGlobalActions[i].id;
    record.window = plugin.window();
    player.SendRegistered(code, &record);
  }
  return kGlobalActionCount;
}

bool IsGlobalAction(WPARAM command) {
  for (const GlobalAction& action : kGlobalActions) {
    if (static_cast<WPARAM>(action.command) == command) return true;
  }
  return false;
}

void CmdGlobalMark(Plugin& plugin) {
  CatchUpWithPlayer(plugin);
  MarkPlayingTime(plugin);
}

void CmdGlobalNext(Plugin& plugin) {
  CatchUpWithPlayer(plugin);
  CmdNextSubtrack(plugin);
}

void CmdGlobalPrevious(Plugin& plugin) {
  CatchUpWithPlayer(plugin);
  PlayPreviousSubtrack(plugin, RestartRule::kAfterASecond);
}

void CmdGlobalRepeat(Plugin& plugin) {
  CatchUpWithPlayer(plugin);
  RepeatPlayingSubtrack(plugin);
  CatchUpWithPlayer(plugin);  // applied now, and the playback check runs while it is pending
}

void CmdGlobalStopAfter(Plugin& plugin) {
  CatchUpWithPlayer(plugin);
  CmdStopAfterSubtrack(plugin);
  CatchUpWithPlayer(plugin);  // applied now, and the playback check runs while it is pending
}

void CmdGlobalSkip(Plugin& plugin) {
  CatchUpWithPlayer(plugin);
  SkipPlayingSubtrack(plugin);
  CatchUpWithPlayer(plugin);  // applied now, and the playback check runs while it is pending
}

void CmdGlobalShowHide(Plugin& plugin) { ToggleWindowWithoutFocus(plugin); }

}  // namespace tarnix
