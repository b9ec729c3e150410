// Docking and snapping: the player's windows the frame snaps to, and where a dragged window
// lands when its edges come near theirs.

#include "skin/skin_frame.h"
#include "skin/skin_geometry.h"

namespace tarnix {

namespace {

constexpr uint64_t kRefreshInterval = 50'000'000;  // 5 s in 100 ns units

}  // namespace

// Runs inside EnumWindows on this thread: nothing may be thrown through the system's frame.
BOOL CALLBACK CollectPlayerWindow(HWND candidate, LPARAM frame) {
  try {
    reinterpret_cast<SkinFrame*>(frame)->ConsiderWindow(candidate);
  } catch (...) {}
  return TRUE;  // always to the end
}

void SkinFrame::ConsiderWindow(HWND candidate) {
  if (candidate == window) return;
  // For a top-level window the owner, not the parent, links it to the player.
  if (GetWindow(candidate, GW_OWNER) != hostMainWindow) return;
  RECT r;
  if (!GetWindowRect(candidate, &r)) return;
  if ((r.right - r.left) % kResizeStepX != 0 || (r.bottom - r.top) % kResizeStepY != 0) return;
  windowList.insert(candidate);
}

void SkinFrame::AddQualifyingWindows() {
  // Without a player window every unowned window would match the owner test.
  if (!hostMainWindow) return;
  EnumWindows(CollectPlayerWindow, reinterpret_cast<LPARAM>(this));
}

void SkinFrame::BuildWindowList() {
  if (hostMainWindow) windowList.insert(hostMainWindow);
  AddQualifyingWindows();
}

bool SkinFrame::Snap(const RECT& currentRect, POINT& newPos) {
  posX = newPos.x;
  posY = newPos.y;
  WINDOWPLACEMENT mainPlacement{};
  mainPlacement.length = sizeof mainPlacement;
  const bool mainKnown = hostMainWindow && GetWindowPlacement(hostMainWindow, &mainPlacement);

  const uint64_t now = clock_ ? clock_() : 0;
  if (now >= lastListRefresh && now - lastListRefresh >= kRefreshInterval) {
    AddQualifyingWindows();
    lastListRefresh = now;
  }

  bool snappedX = false, snappedY = false;
  SnapPoint pos{newPos.x, newPos.y};
  const IntRect own = ToIntRect(currentRect);
  for (HWND candidate : windowList) {
    if (!IsWindow(candidate) || !IsWindowVisible(candidate)) continue;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(candidate, &placement)) continue;
    if ((placement.showCmd & 1) == 0) continue;  // minimised or hidden
    SnapTo(own, ToIntRect(placement.rcNormalPosition), width, height, snapDistance, pos, snappedX, snappedY);
    if (snappedX && snappedY) break;
  }
  if (!snappedX && !snappedY) return false;
  newPos.x = pos.x;
  newPos.y = pos.y;
  // The offset is always from the player's main window; without it there is nothing to dock to.
  if (!mainKnown) {
    posX = pos.x;
    posY = pos.y;
    return false;
  }
  posX = pos.x - mainPlacement.rcNormalPosition.left;
  posY = pos.y - mainPlacement.rcNormalPosition.top;
  return true;
}

}  // namespace tarnix
