#include "host/playback_state.h"

#include "host/plugin_globals.h"
#include "tracklist/track_list.h"

namespace tarnix {

PluginGlobals g_plugin;
PlaybackState g_state;

namespace {
TrackList g_list;
}  // namespace

TrackList& CurrentList() { return g_list; }

}  // namespace tarnix
