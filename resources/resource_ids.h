#pragma once
// Numeric ids of the plug-in's resources, shared by the resource script and the C++ code.
// Plain #defines only: the resource compiler reads this file too.

// Bitmaps, menus, dialogs and icons.
#define IDB_SKIN 101           // built-in skin image, 280 x 132
#define IDR_MENUS 102          // menu bar holding every popup menu
#define IDD_EDIT_SUBTRACK 103  // "Edit subtrack"
#define IDD_OPTIONS 104        // "Tarnix - Options"
#define IDD_ABOUT 105          // "Tarnix Plugin"
#define IDI_TARNIX 106         // the plug-in's icon
#define IDD_EDIT_TRACK 110     // "Tarnix - Edit track"

// Positions of the popups in menu IDR_MENUS (GetSubMenu), and of "&File" inside "Bkg".
#define MENU_POS_BKG 0
#define MENU_POS_MENU 1
#define MENU_POS_ADD 2
#define MENU_POS_PREV 3
#define MENU_POS_NEXT 4
#define MENU_POS_CONTEXT 5
#define MENU_POS_BKG_FILE 3
// Item positions in "Context" that are checked or greyed before it is shown.
#define MENU_POS_CONTEXT_REPEAT 1
#define MENU_POS_CONTEXT_DELETE 3

// Menu commands.
#define IDM_ABOUT 40001
#define IDM_OPTIONS 40002
#define IDM_NEW 40003
#define IDM_OPEN 40004
#define IDM_SAVE 40005
#define IDM_SAVE_AS 40006
#define IDM_INSERT_SUBTRACK 40008
#define IDM_REMOVE_SUBTRACK 40009
#define IDM_CONTEXT_PLAY 40010
#define IDM_REPEAT 40011
#define IDM_INSERT 40012
#define IDM_DELETE 40013
#define IDM_FIRST_SUBTRACK 40014
#define IDM_PREVIOUS_SUBTRACK 40015
#define IDM_NEXT_SUBTRACK 40016
#define IDM_PLAY_TRACK 40017
#define IDM_PLAY_SELECTED 40018
#define IDM_EDIT_TRACK 40019
#define IDM_EDIT_SUBTRACK 40020
#define IDM_EDIT 40021
#define IDM_PASTE_TRACKLIST 40101
#define IDM_EXPORT_CUE_SHEET 40102
#define IDM_STOP_AFTER_SUBTRACK 40103
#define IDM_SKIP_SUBTRACK 40104
#define IDM_EXPORT_CHAPTERS 40105
#define IDM_SAVE_CHAPTERS_INTO_FILE 40106
// Commands of keys, buttons and private messages that no menu item carries.
#define IDM_RESTART_OR_PREVIOUS 40201  // back a row, or to the playing row's start after 1 s
#define IDM_HIDE_WINDOW 40202
// The global actions the player's hotkeys registry offers (commands/global_actions.h): they act
// on the playing subtrack and never take the focus, shown or hidden.
#define IDM_GLOBAL_MARK 40210  // insert a subtrack at the playing time less "Mark earlier by"
#define IDM_GLOBAL_NEXT 40211
#define IDM_GLOBAL_PREVIOUS 40212
#define IDM_GLOBAL_REPEAT 40213
#define IDM_GLOBAL_STOP_AFTER 40214
#define IDM_GLOBAL_SKIP 40215  // marks (or unmarks) the playing subtrack
#define IDM_GLOBAL_SHOW_HIDE 40216

// "Edit subtrack" (IDD_EDIT_SUBTRACK).
#define IDC_MINUTES 1002
#define IDC_MINUTES_SPIN 1003
#define IDC_ADD_SUBTRACK 1004
#define IDC_DELETE_SUBTRACK 1005
#define IDC_CURRENT_TIME 1006
#define IDC_SECONDS 1009
#define IDC_SECONDS_SPIN 1011
#define IDC_SUBTRACK_NAME 1014
#define IDC_FRAMES 1016
#define IDC_FRAMES_SPIN 1018
#define IDC_SUBTRACK_SPIN 1028

// "Tarnix - Edit track" (IDD_EDIT_TRACK).
#define IDC_ALBUM 1012
#define IDC_ARTIST 1013
#define IDC_TRACK_NAME 1015

// "Tarnix - Options" (IDD_OPTIONS).
#define IDC_AUTO_SAVE 1022
#define IDC_PRINT_TIME 1023
#define IDC_BOOKMARK_PATH 1024
#define IDC_AUTO_POPUP 1025
#define IDC_SHOW_TRACK 1027
#define IDC_HOTKEY 1029
#define IDC_TOP_TRACK 1031
#define IDC_RESUME 1032
#define IDC_MARK_EARLIER 1033
#define IDC_MARK_EARLIER_SPIN 1034

// "Tarnix Plugin" (IDD_ABOUT): the static that receives the version line.
#define IDC_VERSION 1030

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
