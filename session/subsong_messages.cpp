// The subsong source's announcements as the plug-in window receives them: the sends, answered at
// once by keeping a copy and posting the plug-in's own id for the work, and that work's side of
// the track names.

#include "session/subsong_messages.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/messaging.h"
#include "host/player_codes.h"
#include "host/plugin.h"
#include "host/readable_memory.h"
#include "session/playback_tracking.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

// How long the loop waits for further track names before it applies the ones it has.
constexpr DWORD kTrackNameSettleMs = 50;
// The highest 0-based index a row key can address (track positions run to 0xFFFF).
constexpr WPARAM kMaxTrackNameIndex = kMaxItemPart - 1;
// Longest track name taken from a subsong source.
constexpr size_t kMaxTrackNameLength = 32768;

}  // namespace

LRESULT TakeSubsongRecord(Plugin& plugin, WPARAM wParam, LPARAM lParam) {
  const auto* record = reinterpret_cast<const uint32_t*>(wParam);
  PlaybackState& playback = plugin.playback();
  // A source's pointer is all these messages carry: one that points nowhere (a post from another
  // program, a source's mistake) is refused instead of ending the player's process.
  if (!record || !IsReadable(record, sizeof(playback.subsongRecord))) return 0;
  std::memcpy(playback.subsongRecord, record, sizeof(playback.subsongRecord));
  playback.pendingNames.clear();
  PostMessageA(plugin.window(), UM_APPLY_SUBSONG_INFO, 0, lParam);
  return 0;
}

LRESULT TakeSubsongChange(Plugin& plugin, WPARAM subsong) {
  PostMessageA(plugin.window(), UM_APPLY_SUBSONG_CHANGED, subsong, 0);
  return 0;
}

LRESULT TakeTrackName(Plugin& plugin, WPARAM index, LPARAM lParam) {
  const char* name = reinterpret_cast<const char*>(lParam);
  // An index no row key can address would only make the pending list huge.
  if (!name || index > kMaxTrackNameIndex) return 0;
  const std::optional<std::string> text = ReadableText(name, kMaxTrackNameLength);
  if (!text) return 0;
  std::vector<TextString>& pending = plugin.playback().pendingNames;
  // Grown only: a name for a lower index must not drop the higher ones still waiting.
  if (pending.size() <= static_cast<size_t>(index)) pending.resize(static_cast<size_t>(index) + 1);
  // The subsong protocol's names are in the code page.
  const std::string utf8 = platform::Utf8FromAnsi(*text);
  pending[static_cast<size_t>(index)] = TextString(static_cast<int>(utf8.size()), utf8.data());
  PostMessageA(plugin.window(), UM_APPLY_TRACK_NAMES, 0, 0);
  return 0;
}

void ApplyTrackNamesWhenSettled(Plugin& plugin) {
  // A source announces names one by one, each a send that posts this: take every post that
  // follows within the settling time before applying any. Waiting on the queue, not sleeping,
  // answers the source's next send at once, so a long list of names doesn't crawl.
  while (WaitForMessage(nullptr, plugin.window(), UM_APPLY_TRACK_NAMES, kTrackNameSettleMs)) {}
  ApplyTrackNames(plugin);
}

}  // namespace tarnix
