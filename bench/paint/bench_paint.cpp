// Times what painting the skinned window costs: each request for a repaint is followed by
// UpdateWindow, so WM_PAINT runs (BeginPaint, the buffer, the drawing, the copy to the window)
// inside the measured call, then the thread's messages are pumped as the plug-in's loop would.
// Four cases: the whole window, the whole list with 10 and with 100,000 rows (only the visible
// lines are drawn, so those two should be close: ratio near 1), and the playing row alone with
// a new progress text, which the plug-in paints once a second while playback runs. Beside them
// the floor: the same row's rectangle painted by a window whose WM_PAINT only calls BeginPaint
// and EndPaint, what any paint costs before it draws a pixel. The thread waits idle a moment
// after each paint, as the plug-in's does between its ticks (Wine copies the painted pixels to
// the screen then); the last line is that wait alone, to be taken from the others.

#include <windows.h>

#include <cstdio>

#include "skin/window_widgets.h"
#include "win32/handles.h"

namespace {

using namespace tarnix;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* frame = reinterpret_cast<SkinFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (frame && frame->HandleMessage(message, wParam, lParam, &result)) return result;
  return DefWindowProcA(window, message, wParam, lParam);
}

// The floor's window: a paint that draws nothing.
LRESULT CALLBACK BarePaintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  if (BeginPaint(window, &paint)) EndPaint(window, &paint);
  return 0;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The thread goes idle after each paint, as the plug-in's does between its ticks: Wine copies
// what was painted to the screen when the thread waits, so that copy is part of each paint.
void Idle() { MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT); }

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double ThreadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto seconds = [](const FILETIME& t) {
    return double((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

struct Cost {
  double wallUs;  // per paint
  double cpuUs;   // per paint, the thread's kernel and user time (counted in coarse steps)
};

// `request` asks for a repaint; the paint runs in UpdateWindow.
template <typename F>
Cost PerPaint(HWND window, int paints, F&& request) {
  LARGE_INTEGER start, end;
  const double cpuStart = ThreadCpuSeconds();
  QueryPerformanceCounter(&start);
  for (int i = 0; i < paints; ++i) {
    request(i);
    UpdateWindow(window);
    Pump();
    Idle();
  }
  GdiFlush();
  QueryPerformanceCounter(&end);
  const double cpu = ThreadCpuSeconds() - cpuStart;
  return Cost{Seconds(start, end) * 1e6 / paints, cpu * 1e6 / paints};
}

void Fill(TrackListView& list, int rows) {
  list.Clear();
  TextString text;
  for (int i = 0; i < rows; ++i) {
    // Texts of one length, so that only the row count differs between the runs.
    text.Format("%06d. Subtrack\t%02d:%02d", i + 1, (i / 60) % 100, i % 60);
    list.InsertRow(-1, text, i + 1);
  }
}

void Print(const char* what, const Cost& cost) {
  std::printf("%-36s %8.1f us wall, %8.1f us CPU per paint\n", what, cost.wallUs, cost.cpuUs);
}

}  // namespace

int main() {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarnixPaintBench";
  RegisterClassA(&wc);

  BitmapHandle bitmap(static_cast<HBITMAP>(
      LoadImageA(nullptr, "resources\\skin.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  if (!bitmap) {
    HDC screen = GetDC(nullptr);
    bitmap.Reset(CreateCompatibleBitmap(screen, 280, 132));
    ReleaseDC(nullptr, screen);
  }

  SkinFrame frame;
  frame.width = 350;
  frame.height = 174;
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Tarnix Plugin", WS_POPUP | WS_VISIBLE, 100, 100,
                                frame.width, frame.height, nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&frame));
  frame.Attach(window, nullptr, nullptr, RECT{12, 20, -20, -38}, kBottomBarLeftWidth);
  frame.SetSkinImage(bitmap.Get());
  frame.Resize(frame.width, frame.height);
  WindowWidgets widgets = BuildWindowWidgets(frame, WindowHandlers{});
  const COLORREF colours[kColourSlots] = {RGB(0, 0, 0), RGB(0, 255, 0), RGB(255, 255, 255), RGB(0, 0, 255)};
  frame.SetSkin("Arial", 11, colours);
  frame.Resize(frame.width, frame.height);
  widgets.list->SetTimeColumn(TrackListView::kTimeColumnShown);
  widgets.title->SetText(TextString("Live Recordings - The Examples"));
  UpdateWindow(window);
  Pump();

  constexpr int kPaints = 2000;
  TrackListView& list = *widgets.list;
  Fill(list, 10);
  list.Select(3);
  list.SetCurrentRow(2);
  const Cost whole = PerPaint(window, kPaints, [&](int) { frame.Paint(); });
  const Cost small = PerPaint(window, kPaints, [&](int) { list.Redraw(); });
  TextString progress;
  const Cost row = PerPaint(window, kPaints, [&](int i) {
    progress.Format("%d:%02d / 45:00", i / 60 % 60, i % 60);
    list.SetProgress(progress);
  });
  // The playing row's rectangle, as the row paints asked for it.
  RECT rowRect{};
  list.SetProgress(TextString("0:00 / 45:00"));
  GetUpdateRect(window, &rowRect, FALSE);
  UpdateWindow(window);
  wc.lpfnWndProc = BarePaintProc;
  wc.lpszClassName = "TarnixBarePaintBench";
  RegisterClassA(&wc);
  HWND bare = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Bare", WS_POPUP | WS_VISIBLE, 100, 100, frame.width,
                              frame.height, nullptr, nullptr, wc.hInstance, nullptr);
  UpdateWindow(bare);
  const Cost floor = PerPaint(bare, kPaints, [&](int) { InvalidateRect(bare, &rowRect, FALSE); });
  const Cost idle = PerPaint(bare, kPaints, [&](int) {});
  DestroyWindow(bare);
  list.SetProgress(TextString());
  Fill(list, 100000);
  list.Select(50000);
  const Cost large = PerPaint(window, kPaints, [&](int) { list.Redraw(); });

  Print("whole window (350x174):", whole);
  Print("list, 10 rows:", small);
  Print("list, 100000 rows:", large);
  std::printf("%-36s %8.2f\n", "ratio 100000 / 10 rows (wall):", large.wallUs / small.wallUs);
  Print("playing row, new progress text:", row);
  std::printf("%-36s %8.1f us wall, %8.1f us CPU per paint (row %ldx%ld)\n",
              "floor, empty WM_PAINT of that row:", floor.wallUs, floor.cpuUs, rowRect.right - rowRect.left,
              rowRect.bottom - rowRect.top);

  Print("no paint, the idle wait alone:", idle);

  frame.Destroy();
  DestroyWindow(window);
  return 0;
}
