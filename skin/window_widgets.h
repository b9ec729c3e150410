#pragma once
// Builds the twelve widgets of the plug-in window on a frame, in table order, from the
// tables of window_layout.h and the handlers the caller supplies.

#include <windows.h>

#include "skin/skin_button.h"
#include "skin/skin_frame.h"
#include "skin/skin_scroll_bar.h"
#include "skin/title_display.h"
#include "skin/track_list_view.h"
#include "skin/window_layout.h"

namespace tarnix {

// The handlers of the window's widgets; any may be null.
struct WindowHandlers {
  ClickHandler buttonClick[kButtonCount] = {};
  ClickHandler buttonRightClick[kButtonCount] = {};
  ClickHandler onActivate = nullptr;
  ClickHandler onContextMenu = nullptr;
  SelectionHandler onSelectionChanged = nullptr;
};

// The widgets made by BuildWindowWidgets; all owned by the frame.
struct WindowWidgets {
  SkinButton* buttons[kButtonCount] = {};
  TitleDisplay* title = nullptr;
  TrackListView* list = nullptr;
  SkinScrollBar* scrollBar = nullptr;
};

// Creates the nine buttons (the grip gets its flag), the title line, the list and the scroll
// bar linked to it. Call after Attach and the first Resize.
WindowWidgets BuildWindowWidgets(SkinFrame& frame, const WindowHandlers& handlers);

}  // namespace tarnix
