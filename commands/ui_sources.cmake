# The command side of the plug-in: command table and menus, row layout and editing dialogs,
# file commands, options and About, the shared dialog procedure. Pure arithmetic lives in
# files without <windows.h> (row_layout, time_fields, cd_track_path, file_names).
set(TARNIX_COMMAND_PURE_SOURCES
  ${PROJECT_SOURCE_DIR}/commands/row_layout.cpp
  ${PROJECT_SOURCE_DIR}/commands/time_fields.cpp
  ${PROJECT_SOURCE_DIR}/commands/cd_track_path.cpp
  ${PROJECT_SOURCE_DIR}/commands/file_names.cpp
)
set(TARNIX_COMMAND_UI_SOURCES
  ${TARNIX_COMMAND_PURE_SOURCES}
  ${PROJECT_SOURCE_DIR}/commands/command_table.cpp
  ${PROJECT_SOURCE_DIR}/commands/playback_commands.cpp
  ${PROJECT_SOURCE_DIR}/commands/rows.cpp
  ${PROJECT_SOURCE_DIR}/commands/subtrack_dialog.cpp
  ${PROJECT_SOURCE_DIR}/commands/track_dialog.cpp
  ${PROJECT_SOURCE_DIR}/commands/user_messages.cpp
  ${PROJECT_SOURCE_DIR}/commands/file_commands.cpp
  ${PROJECT_SOURCE_DIR}/commands/file_menu.cpp
  ${PROJECT_SOURCE_DIR}/commands/file_dialog.cpp
  ${PROJECT_SOURCE_DIR}/commands/import_commands.cpp
  ${PROJECT_SOURCE_DIR}/commands/options_dialog.cpp
  ${PROJECT_SOURCE_DIR}/commands/dialog_procedure.cpp
)
