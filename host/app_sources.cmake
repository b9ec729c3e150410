# The UI thread side of the plug-in: entry points, the UI thread and its loop, settings,
# playback state and tracking, skin adoption. Built into the DLL by plugin/CMakeLists.txt.
set(TARNIX_HOST_APP_SOURCES
  ${PROJECT_SOURCE_DIR}/host/message_loop.cpp
  ${PROJECT_SOURCE_DIR}/host/playback_tracking.cpp
  ${PROJECT_SOURCE_DIR}/host/player_following.cpp
  ${PROJECT_SOURCE_DIR}/host/plugin.cpp
  ${PROJECT_SOURCE_DIR}/host/plugin_entry.cpp
  ${PROJECT_SOURCE_DIR}/host/settings.cpp
  ${PROJECT_SOURCE_DIR}/host/skin_adoption.cpp
  ${PROJECT_SOURCE_DIR}/host/ui_thread.cpp
  ${PROJECT_SOURCE_DIR}/host/window_helpers.cpp
)
