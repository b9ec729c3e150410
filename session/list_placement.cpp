// Where the list sits in the plug-in window: below the title line while that is shown.

#include "session/list_placement.h"

#include "host/plugin.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "skin/window_layout.h"

namespace tarnix {

void PlaceListBelowTitle(Plugin& plugin, const RECT& /*content*/) {
  if (!plugin.settings().showTrack || !plugin.settings().topTrack || !plugin.list() || !plugin.title()) return;
  const RECT title = plugin.title()->GetRect();
  plugin.list()->SetLayout(
      LayoutRect{kListLayout.left, static_cast<int32_t>(title.bottom), kListLayout.right, kListLayout.bottom});
}

void PlaceList(Plugin& plugin) {
  if (plugin.settings().showTrack && plugin.settings().topTrack) {
    PlaceListBelowTitle(plugin, RECT{});
  } else if (plugin.list()) {
    plugin.list()->SetLayout(kListLayout);
  }
}

}  // namespace tarnix
