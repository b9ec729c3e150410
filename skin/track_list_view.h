#pragma once
// TrackListView: the list in the middle of the window, one row of text with an opaque key
// per track and subtrack, drawn in the skin's playlist colours with the playing row in the
// "Current" colour, the selected row on "SelectedBG" and an optional right-aligned time column.
// A change of one row asks for that row's rectangle only to be painted again.
// Activation, context requests and selection changes leave it through callbacks.

#include <functional>
#include <vector>

#include "skin/widget.h"
#include "tracklist/text_string.h"

namespace tarnix {

class SkinScrollBar;

using SelectionHandler = std::function<void()>;

// How a row is drawn beyond its text, asked of the list's owner by the row's key at each drawing.
enum RowDecoration : uint32_t {
  kRowPlain = 0,
  kRowSkipped = 1,     // struck through: playback passes over it
  kRowStopsAfter = 2,  // a stop sign before the time: playback stops when it ends
};
using RowDecorator = std::function<uint32_t(int32_t key)>;

// One row: its text (an optional TAB separates the name from the time) and its key (0: none).
struct ListRow {
  TextString text;
  int32_t key = 0;
};

class TrackListView : public Widget {
 public:
  enum TimeColumn : int32_t { kNoTimeColumn = 1, kTimeColumnShown = 2 };

  TrackListView(SkinFrame* frame, const LayoutRect& layout, const RECT& textInset, ClickHandler onActivate,
                ClickHandler onContextMenu, SelectionHandler onSelectionChanged, SkinScrollBar* scrollBar);
  ~TrackListView() override;

  // Rows (no redraw; call Redraw when done, or ScrollTo, which redraws a changed list).
  void InsertRow(int32_t index, const TextString& text, int32_t key);  // out of range appends
  void SetRow(int32_t index, const TextString& text, int32_t key);
  void Clear();
  int32_t RowCount() const { return static_cast<int32_t>(rows.size()); }
  int32_t KeyAt(int32_t index) const;
  const TextString* TextAt(int32_t index) const;

  // Marks and view.
  int32_t CurrentRow() const { return currentRow; }
  int32_t SelectedRow() const { return selectedRow; }
  int32_t CurrentKey() const { return KeyAt(currentRow); }
  int32_t SelectedKey() const { return KeyAt(selectedRow); }
  // A change of the playing or the selected row asks for the two rows to be painted again.
  void SetCurrentRow(int32_t index);
  void SetCurrentByKey(int32_t key);
  void Select(int32_t index);
  void SelectByKey(int32_t key);
  // Asks for the whole list to be painted again when it scrolled or its rows changed.
  void ScrollTo(int32_t index, int32_t margin, bool forceTop, bool syncScrollBar);
  void ShowRow(int32_t index, int32_t margin);
  void SetTimeColumn(int32_t mode);
  int32_t TimeColumnMode() const { return timeColumn; }
  void SetLayout(const LayoutRect& value);
  // Asks for the whole list to be painted again; marks left out of range by Clear or by
  // removed rows are put right first.
  void Redraw() override;
  // Asks for one row to be painted again, when it is on the page.
  void RedrawRow(int32_t index);
  void SetDecorator(RowDecorator value) { decorator = value; }
  // Shown in the time column of the playing row in place of its time; empty for none. A text
  // that differs from the shown one asks for the playing row alone to be painted again (the
  // progress changes every second); the same text asks for nothing.
  void SetProgress(const TextString& text);
  const TextString& Progress() const { return progress; }
  void PageUp();
  void PageDown();
  bool OnKey(WPARAM virtualKey);

  int32_t TopRow() const { return topRow; }
  int32_t PageRowCount() const { return pageRows; }
  // Row under client row y, or -1.
  int32_t RowAt(int y) const;
  // Where row `index` is drawn, or would be with the list scrolled by whole rows: above or below
  // the list for rows off the page; empty for no such row. Screen readers ask for every row.
  RECT RowBox(int32_t index) const;
  bool SelectAt(int y);

  void PaintOn(HDC dc, const RECT& box) override;
  bool OnClick(int x, int y) override;
  bool OnDoubleClick(int x, int y) override;
  bool OnRightClick(int x, int y) override;
  void Relayout() override;

  // Called by the scroll bar when it links or unlinks itself.
  void LinkScrollBar(SkinScrollBar* bar) { scrollBar = bar; }
  SkinScrollBar* ScrollBar() const { return scrollBar; }

 private:
  RECT TextArea() const;
  // The rectangle of the row `index` when it is on the page, else an empty one.
  RECT RowRect(int32_t index) const;
  void RepairMarks();
  void DrawRow(HDC dc, const RECT& area, int32_t line, int32_t index);

  ClickHandler onActivate;
  ClickHandler onContextMenu;
  int32_t pageRows = 0;
  int32_t topRow = 0;
  int32_t currentRow = -1;
  int32_t selectedRow = -1;
  int32_t timeColumn = kNoTimeColumn;
  RECT textInset;
  SelectionHandler onSelectionChanged;
  std::vector<ListRow> rows;
  SkinScrollBar* scrollBar;
  RowDecorator decorator = nullptr;
  TextString progress;
  // What the last request to paint the whole list showed: its first row, and whether rows or
  // the layout changed since.
  int32_t requestedTop = -1;
  bool listChanged = true;
};

}  // namespace tarnix
