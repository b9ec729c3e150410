#include "skin/window_widgets.h"

namespace tarnix {

namespace {

RECT InsetRect(const LayoutRect& inset) { return RECT{inset.left, inset.top, inset.right, inset.bottom}; }

}  // namespace

WindowWidgets BuildWindowWidgets(SkinFrame& frame, const WindowHandlers& handlers) {
  WindowWidgets built;
  for (int i = 0; i < kButtonCount; ++i) {
    built.buttons[i] = frame.AddWidget<SkinButton>(kButtonRows[i].layout, kButtonRows[i].images,
                                                   handlers.buttonClick[i], handlers.buttonRightClick[i]);
    if (i == kGripButton) built.buttons[i]->AddFlags(SkinButton::kResizeGrip);
  }
  built.title = frame.AddWidget<TitleDisplay>(kTitleLayout, InsetRect(kTextInset), nullptr, nullptr);
  built.list = frame.AddWidget<TrackListView>(kListLayout, InsetRect(kTextInset), handlers.onActivate,
                                              handlers.onContextMenu, handlers.onSelectionChanged, nullptr);
  built.scrollBar =
      frame.AddWidget<SkinScrollBar>(kScrollBarLayout, kThumbRect, kThumbNormal, kThumbPressed, built.list);
  return built;
}

}  // namespace tarnix
