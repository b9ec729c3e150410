#pragma once
// TrackListView: the list in the middle of the window, one row of text with an opaque key
// per track and subtrack, drawn in the skin's playlist colours with the playing row in the
// "Current" colour, the selected row on "SelectedBG" and an optional right-aligned time column.
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

  // Rows (no redraw; call Redraw when done).
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
  void SetCurrentRow(int32_t index) { currentRow = index; }
  void SetCurrentByKey(int32_t key);
  void Select(int32_t index);
  void SelectByKey(int32_t key);
  void ScrollTo(int32_t index, int32_t margin, bool forceTop, bool syncScrollBar);
  void ShowRow(int32_t index, int32_t margin);
  void SetTimeColumn(int32_t mode);
  int32_t TimeColumnMode() const { return timeColumn; }
  void SetLayout(const LayoutRect& value);
  void Redraw() { Draw(false); }
  // Draws one row again, when it is on the page.
  void RedrawRow(int32_t index);
  void SetDecorator(RowDecorator value) { decorator = value; }
  // Shown in the time column of the playing row in place of its time; empty for none.
  void SetProgress(const TextString& text) { progress = text; }
  const TextString& Progress() const { return progress; }
  // Draws the playing row's progress again: only the text when it kept its width (one text
  // output, as it changes every second), else the whole row.
  void RedrawProgress();
  void PageUp();
  void PageDown();
  bool OnKey(WPARAM virtualKey);

  int32_t TopRow() const { return topRow; }
  int32_t PageRowCount() const { return pageRows; }
  // Row under client row y, or -1.
  int32_t RowAt(int y) const;
  bool SelectAt(int y);

  void Draw(bool pressed) override;
  bool OnClick(int x, int y) override;
  bool OnDoubleClick(int x, int y) override;
  bool OnRightClick(int x, int y) override;
  void Relayout() override;

  // Called by the scroll bar when it links or unlinks itself.
  void LinkScrollBar(SkinScrollBar* bar) { scrollBar = bar; }
  SkinScrollBar* ScrollBar() const { return scrollBar; }

 private:
  RECT TextArea() const;
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
  // Where the progress text was last drawn and how wide: the row, -1 when none.
  int32_t progressRow = -1;
  LONG progressWidth = 0;
};

}  // namespace tarnix
