#include "skin/track_list_view.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "skin/skin_frame.h"
#include "skin/skin_scroll_bar.h"
#include "win32/handles.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

// Page Up and Page Down step four rows, not a page.
constexpr int32_t kPageStep = 4;
// The keyboard's context menu opens this far from the list's left edge.
constexpr int32_t kKeyboardMenuX = 20;

bool CtrlHeld() { return GetKeyState(VK_CONTROL) < 0; }

}  // namespace

TrackListView::TrackListView(SkinFrame* frame, const LayoutRect& layout, const RECT& textInset, ClickHandler onActivate,
                             ClickHandler onContextMenu, SelectionHandler onSelectionChanged, SkinScrollBar* scrollBar)
    : Widget(WidgetKind::ListView, frame, layout),
      onActivate(onActivate),
      onContextMenu(onContextMenu),
      textInset(textInset),
      onSelectionChanged(onSelectionChanged),
      scrollBar(scrollBar) {
  Relayout();
}

TrackListView::~TrackListView() {
  if (scrollBar) scrollBar->Unlink();
}

void TrackListView::InsertRow(int32_t index, const TextString& text, int32_t key) {
  listChanged = true;
  if (index < 0 || index >= RowCount())
    rows.push_back(ListRow{text, key});
  else
    rows.insert(rows.begin() + index, ListRow{text, key});
}

void TrackListView::SetRow(int32_t index, const TextString& text, int32_t key) {
  if (index < 0 || index >= RowCount()) return;
  listChanged = true;
  rows[index].text = text;
  rows[index].key = key;
}

void TrackListView::Clear() {
  listChanged = true;
  rows.clear();
}

int32_t TrackListView::KeyAt(int32_t index) const { return index >= 0 && index < RowCount() ? rows[index].key : 0; }

const TextString* TrackListView::TextAt(int32_t index) const {
  return index >= 0 && index < RowCount() ? &rows[index].text : nullptr;
}

void TrackListView::SetCurrentRow(int32_t index) {
  if (index == currentRow) return;
  RedrawRow(currentRow);
  currentRow = index;
  RedrawRow(currentRow);
}

void TrackListView::SetCurrentByKey(int32_t key) {
  for (int32_t i = 0; i < RowCount(); ++i) {
    if (rows[i].key == key) {
      SetCurrentRow(i);
      return;
    }
  }
  SetCurrentRow(-1);
}

void TrackListView::Select(int32_t index) {
  if (index < 0 || index >= RowCount()) return;
  const int32_t previous = selectedRow;
  if (previous != index) {
    RedrawRow(previous);
    selectedRow = index;
    RedrawRow(index);
  }
  ScrollTo(index, 0, false, true);
  if (onSelectionChanged && previous != index) onSelectionChanged();
}

void TrackListView::SelectByKey(int32_t key) {
  for (int32_t i = 0; i < RowCount(); ++i) {
    if (rows[i].key == key) {
      Select(i);
      return;
    }
  }
}

void TrackListView::ScrollTo(int32_t index, int32_t margin, bool forceTop, bool syncScrollBar) {
  const int32_t count = RowCount();
  // A list too low for one whole line still scrolls line by line: with a page of none, the
  // first row would land past the last and the marks would be dropped as out of range.
  const int32_t page = std::max(pageRows, 1);
  if (index >= 0 && index < count && (page < count || topRow > 0)) {
    if (forceTop || index < topRow)
      topRow = index;
    else if (index >= topRow - margin + page)
      topRow = index + margin - page + 1;  // the row becomes the last visible one
    topRow = std::min(topRow, std::max(count - page, 0));
    if (syncScrollBar && scrollBar) scrollBar->SyncToList(topRow, count - pageRows);
  }
  // A row that changed its look alone has asked for its own repaint.
  if (listChanged || topRow != requestedTop) Redraw();
}

void TrackListView::ShowRow(int32_t index, int32_t margin) {
  if (!scrollBar || !scrollBar->IsPressed())
    ScrollTo(index, margin, false, true);
  else if (listChanged)
    Redraw();  // the user holds the thumb: playback does not scroll the list
}

void TrackListView::SetTimeColumn(int32_t mode) {
  const int32_t value = mode == kTimeColumnShown ? kTimeColumnShown : kNoTimeColumn;
  if (value == timeColumn) return;
  timeColumn = value;
  Redraw();
}

void TrackListView::SetLayout(const LayoutRect& value) {
  SetLayoutRect(value);
  Relayout();
}

void TrackListView::PageUp() {
  if (topRow >= kPageStep) {
    topRow -= kPageStep;
    Select(topRow);
  } else if (topRow > 0) {
    topRow = 0;
    Select(0);
  }
}

void TrackListView::PageDown() {
  const int32_t count = RowCount();
  if (topRow < count - 7) {
    topRow += kPageStep;
    Select(topRow);
  } else if (topRow < count - kPageStep) {
    topRow = count - kPageStep;
    Select(topRow);
  }
}

bool TrackListView::OnKey(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_RETURN:
      if (onActivate) onActivate(-1, -1);
      return true;
    case VK_PRIOR:
      PageUp();
      return true;
    case VK_NEXT:
      PageDown();
      return true;
    case VK_HOME:
      Select(0);
      return true;
    case VK_END:
      Select(RowCount() - 1);
      return true;
    case VK_UP:
      if (CtrlHeld()) {
        if (topRow > 0) ScrollTo(topRow - 1, 0, true, true);
      } else if (selectedRow > 0) {
        Select(selectedRow - 1);
      }
      return true;
    case VK_DOWN:
      if (CtrlHeld()) {
        if (topRow >= 0 && topRow < RowCount() - pageRows) ScrollTo(topRow + 1, 0, true, true);
      } else if (selectedRow >= 0 && selectedRow < RowCount() - 1) {
        Select(selectedRow + 1);
      }
      return true;
    case VK_APPS:
      OnRightClick(-1, -1);
      return true;
    default:
      return false;
  }
}

int32_t TrackListView::RowAt(int y) const {
  return RowAtY(y, TextArea().top, frame ? frame->LineHeight() : 1, topRow, RowCount(), pageRows);
}

bool TrackListView::SelectAt(int y) {
  const int32_t row = RowAt(y);
  if (row < 0) return false;
  Select(row);
  return true;
}

RECT TrackListView::TextArea() const {
  return RECT{rect.left + textInset.left, rect.top + textInset.top, rect.right + textInset.right,
              rect.bottom + textInset.bottom};
}

void TrackListView::RepairMarks() {
  if (topRow >= RowCount() || topRow < 0) {
    topRow = 0;
    selectedRow = -1;
  }
  if (selectedRow >= RowCount()) selectedRow = RowCount() - 1;
}

void TrackListView::Redraw() {
  RepairMarks();
  requestedTop = topRow;
  listChanged = false;
  Widget::Redraw();
}

RECT TrackListView::RowRect(int32_t index) const {
  if (index < topRow || index >= topRow + pageRows) return RECT{};
  const int32_t lineHeight = frame ? frame->LineHeight() : 1;
  const LONG top = TextArea().top + (index - topRow) * lineHeight;
  return RECT{rect.left, top, rect.right, top + lineHeight};
}

RECT TrackListView::RowBox(int32_t index) const {
  if (index < 0 || index >= RowCount()) return RECT{};
  const int32_t lineHeight = frame ? frame->LineHeight() : 1;
  const LONG top = TextArea().top + (index - topRow) * lineHeight;
  return RECT{rect.left, top, rect.right, top + lineHeight};
}

void TrackListView::RedrawRow(int32_t index) {
  const RECT row = RowRect(index);
  if (frame && !IsRectEmpty(&row)) frame->Invalidate(row);
}

void TrackListView::SetProgress(const TextString& text) {
  if (text == progress) return;
  progress = text;
  RedrawRow(currentRow);
}

void TrackListView::PaintOn(HDC dc, const RECT& box) {
  if (!frame) return;
  // A WM_PAINT that no Redraw came before (the window uncovered) may still find such marks.
  RepairMarks();
  const RECT area = TextArea();
  const int32_t lineHeight = frame->LineHeight();
  // Each line fills its own band; the background is filled only above and below the lines, so
  // the playing row's paint fills its pixels once.
  const LONG linesTop = std::min(std::max(area.top, rect.top), rect.bottom);
  const LONG linesBottom = std::min(std::max(area.top + pageRows * lineHeight, linesTop), rect.bottom);
  if (HBRUSH brush = frame->Brush(kNormalBG)) {
    for (const RECT& strip :
         {RECT{rect.left, rect.top, rect.right, linesTop}, RECT{rect.left, linesBottom, rect.right, rect.bottom}}) {
      RECT fill;
      if (IntersectRect(&fill, &strip, &box)) FillRect(dc, &fill, brush);
    }
  }
  // Only the lines inside the box are drawn, however long the list is.
  for (int32_t line = 0; line < pageRows; ++line) {
    const LONG top = area.top + line * lineHeight;
    if (top < box.bottom && top + lineHeight > box.top) DrawRow(dc, area, line, topRow + line);
  }
}

void TrackListView::DrawRow(HDC dc, const RECT& area, int32_t line, int32_t index) {
  const int32_t lineHeight = frame->LineHeight();
  RECT band{rect.left, area.top + line * lineHeight, rect.right, area.top + (line + 1) * lineHeight};
  const int32_t background = index == selectedRow ? kSelectedBG : kNormalBG;
  const int32_t foreground = index == currentRow ? kCurrent : kNormal;
  SetBkColor(dc, frame->Colour(background));
  if (HBRUSH brush = frame->Brush(background)) FillRect(dc, &band, brush);
  SetTextColor(dc, frame->Colour(foreground));
  if (index >= RowCount()) return;  // an empty line past the last row

  const TextString& text = rows[index].text;
  const char* s = text.c_str();
  const int32_t length = text.Length();
  const char* tab = static_cast<const char*>(std::memchr(s, '\t', length));
  const int32_t nameLength = tab ? static_cast<int32_t>(tab - s) : length;
  const bool progressShown = index == currentRow && !progress.IsEmpty();
  const bool timeShown = progressShown || (tab && timeColumn == kTimeColumnShown);
  // The texts are UTF-8: drawn wide, every name shows whole in whatever script it is written.
  const std::wstring name = WideFromUtf8(std::string_view(s, static_cast<size_t>(nameLength)));
  const std::wstring time =
      progressShown ? WideFromUtf8(std::string_view(progress.c_str(), static_cast<size_t>(progress.Length())))
      : timeShown   ? WideFromUtf8(std::string_view(tab + 1, static_cast<size_t>(length - nameLength - 1)))
                    : std::wstring();
  LONG timeWidth = 0;
  if (timeShown) {
    SIZE extent{};
    if (GetTextExtentPoint32W(dc, time.c_str(), static_cast<int>(time.size()), &extent)) timeWidth = extent.cx;
  }
  const uint32_t decoration = decorator ? decorator(rows[index].key) : kRowPlain;
  // The marks are drawn in the row's own text colour, so they show in every skin.
  const LONG sign = (decoration & kRowStopsAfter) ? std::max<LONG>(4, lineHeight / 2) : 0;
  const LONG signGap = sign > 0 ? 3 : 0;
  RECT nameArea{area.left, band.top, area.right - timeWidth - sign - 2 * signGap, band.bottom};
  RECT drawn = nameArea;
  DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &nameArea,
            DT_SINGLELINE | DT_END_ELLIPSIS | DT_TOP | DT_LEFT | DT_NOPREFIX);
  if (decoration & (kRowSkipped | kRowStopsAfter)) {
    // The frame's brush of the row's text colour: nothing is made for a paint.
    HBRUSH ink = frame->Brush(foreground);
    if (decoration & kRowSkipped) {
      DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &drawn,
                DT_SINGLELINE | DT_END_ELLIPSIS | DT_TOP | DT_LEFT | DT_NOPREFIX | DT_CALCRECT);
      const LONG middle = band.top + lineHeight / 2;
      RECT strike{drawn.left, middle, std::min(drawn.right, nameArea.right), middle + 1};
      if (ink) FillRect(dc, &strike, ink);
    }
    if (sign > 0) {
      const LONG left = area.right - timeWidth - signGap - sign;
      const LONG top = band.top + (lineHeight - sign) / 2;
      RECT square{left, top, left + sign, top + sign};
      if (ink) FillRect(dc, &square, ink);
    }
  }
  if (timeShown) {
    RECT timeArea{area.right - timeWidth, band.top, area.right, band.bottom};
    DrawTextW(dc, time.c_str(), static_cast<int>(time.size()), &timeArea,
              DT_SINGLELINE | DT_TOP | DT_RIGHT | DT_NOPREFIX);
  }
}

bool TrackListView::OnClick(int, int y) {
  SelectAt(y);
  return true;  // a click on the empty part is taken and does nothing
}

bool TrackListView::OnDoubleClick(int x, int y) {
  SelectAt(y);
  Redraw();
  if (onActivate) onActivate(x, y);
  return true;
}

bool TrackListView::OnRightClick(int x, int y) {
  bool hit;
  if (x >= 0 && y >= 0) {
    hit = SelectAt(y);
  } else {
    // From the keyboard: the middle of the selected row's line, when that line is shown.
    const int32_t lineHeight = frame ? frame->LineHeight() : 1;
    x = rect.left + kKeyboardMenuX;
    y = rect.top + (selectedRow - topRow) * lineHeight + lineHeight / 2;
    hit = selectedRow >= topRow && selectedRow < topRow + std::min(RowCount(), pageRows);
  }
  if (hit && onContextMenu) {
    onContextMenu(x, y);
    return true;
  }
  return false;
}

void TrackListView::Relayout() {
  listChanged = true;
  BaseRelayout();
  const RECT area = TextArea();
  pageRows = PageRows(area.top, area.bottom, frame ? frame->LineHeight() : 1);
  if (scrollBar) {
    scrollBar->Relayout();
    scrollBar->SyncToList(topRow, RowCount() - pageRows);
  }
}

}  // namespace tarnix
