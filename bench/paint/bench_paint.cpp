// Times a full Paint of the skinned window and a list Redraw with 10 and with 100,000 rows.
// Only the visible lines are drawn, so the two Redraw times should be close (ratio near 1).

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

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

template <typename F>
double MicrosecondsPerCall(int calls, F&& f) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  for (int i = 0; i < calls; ++i) f();
  GdiFlush();
  QueryPerformanceCounter(&end);
  return Seconds(start, end) * 1e6 / calls;
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

}  // namespace

int main() {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TarnixPaintBench";
  RegisterClassA(&wc);

  MemoryDc skin(nullptr);
  BitmapHandle bitmap(static_cast<HBITMAP>(
      LoadImageA(nullptr, "resources\\skin.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  if (!bitmap) {
    HDC screen = GetDC(nullptr);
    bitmap.Reset(CreateCompatibleBitmap(screen, 280, 132));
    ReleaseDC(nullptr, screen);
  }
  SelectedObject selected(skin.Get(), bitmap.Get());

  SkinFrame frame;
  frame.width = 350;
  frame.height = 174;
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Tarnix Plugin", WS_POPUP | WS_VISIBLE, 100, 100,
                                frame.width, frame.height, nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&frame));
  frame.Attach(window, nullptr, skin.Get(), skin.Get(), nullptr, RECT{12, 20, -20, -38}, kBottomBarLeftWidth);
  frame.Resize(frame.width, frame.height);
  WindowWidgets widgets = BuildWindowWidgets(frame, skin.Get(), WindowHandlers{});
  const COLORREF colours[kColourSlots] = {RGB(0, 0, 0), RGB(0, 255, 0), RGB(255, 255, 255), RGB(0, 0, 255)};
  frame.SetSkin("Arial", 11, colours);
  frame.Resize(frame.width, frame.height);
  widgets.list->SetTimeColumn(TrackListView::kTimeColumnShown);

  constexpr int kCalls = 2000;
  Fill(*widgets.list, 10);
  widgets.list->Select(3);
  const double paint = MicrosecondsPerCall(kCalls, [&] { frame.Paint(); });
  const double small = MicrosecondsPerCall(kCalls, [&] { widgets.list->Redraw(); });
  Fill(*widgets.list, 100000);
  widgets.list->Select(50000);
  const double large = MicrosecondsPerCall(kCalls, [&] { widgets.list->Redraw(); });

  std::printf("full Paint (350x174):          %8.1f us\n", paint);
  std::printf("list Redraw, 10 rows:          %8.1f us\n", small);
  std::printf("list Redraw, 100000 rows:      %8.1f us\n", large);
  std::printf("ratio 100000 / 10 rows:        %8.2f\n", large / small);

  frame.Destroy();
  DestroyWindow(window);
  return 0;
}
