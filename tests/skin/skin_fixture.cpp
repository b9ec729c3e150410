#include "skin_fixture.h"

#include <cstdio>
#include <cstring>

namespace tarnix::test {

const COLORREF kTestColours[kColourSlots] = {kNormalBgColour, kNormalColour, kCurrentColour, kSelectedBgColour};

CallLog g_buttonClicks[kButtonCount];
CallLog g_buttonRightClicks[kButtonCount];
CallLog g_backgroundClicks;
CallLog g_activations;
CallLog g_contextMenus;
int g_selectionChanges = 0;

void ResetCallLogs() {
  for (auto& log : g_buttonClicks) log = CallLog{};
  for (auto& log : g_buttonRightClicks) log = CallLog{};
  g_backgroundClicks = g_activations = g_contextMenus = CallLog{};
  g_selectionChanges = 0;
}

namespace {

void Background(int x, int y) { g_backgroundClicks.Record(x, y); }

template <int I>
void ButtonClick(int x, int y) {
  g_buttonClicks[I].Record(x, y);
}
template <int I>
void ButtonRightClick(int x, int y) {
  g_buttonRightClicks[I].Record(x, y);
}
void Activate(int x, int y) { g_activations.Record(x, y); }
void ContextMenu(int x, int y) { g_contextMenus.Record(x, y); }
void SelectionChanged() { ++g_selectionChanges; }

WindowHandlers TestHandlers() {
  WindowHandlers h;
  ClickHandler clicks[kButtonCount] = {ButtonClick<0>, ButtonClick<1>, ButtonClick<2>, ButtonClick<3>, ButtonClick<4>,
                                       ButtonClick<5>, nullptr,        ButtonClick<7>, ButtonClick<8>};
  ClickHandler rights[kButtonCount] = {ButtonRightClick<0>,
                                       ButtonRightClick<1>,
                                       ButtonRightClick<2>,
                                       ButtonRightClick<3>,
                                       ButtonRightClick<4>,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       nullptr};
  for (int i = 0; i < kButtonCount; ++i) {
    h.buttonClick[i] = clicks[i];
    h.buttonRightClick[i] = rights[i];
  }
  h.onActivate = Activate;
  h.onContextMenu = ContextMenu;
  h.onSelectionChanged = SelectionChanged;
  return h;
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* frame = reinterpret_cast<SkinFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (frame && frame->Window() == window && frame->HandleMessage(message, wParam, lParam, &result)) return result;
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* TestClass() {
  static const char* name = [] {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "TarnixSkinTestWindow";
    RegisterClassA(&wc);
    return "TarnixSkinTestWindow";
  }();
  return name;
}

}  // namespace

SkinImage::SkinImage(bool fromFile) {
  if (fromFile) {
    const std::string path = std::string("Z:") + TARNIX_SOURCE_DIR + "/resources/skin.bmp";
    bitmap_.Reset(static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    fromFile_ = static_cast<bool>(bitmap_);
  }
  if (!bitmap_) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 280;
    info.bmiHeader.biHeight = -132;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < 132; ++y)
      for (int x = 0; x < 280; ++x) {
        const COLORREF c = SkinPixel(x, y);
        pixels[y * 280 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      }
  }
}

HWND CreateTestWindow(SkinFrame* frame, int x, int y, int width, int height, HWND owner, bool visible) {
  HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, TestClass(), "Tarnix Plugin", WS_POPUP, x, y, width, height, owner,
                                nullptr, GetModuleHandleA(nullptr), frame);
  if (visible) ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

SkinHarness::SkinHarness(const Options& o) : skin(o.skinFromFile) {
  ResetCallLogs();
  SetCursorPos(1023, 767);  // out of the way of the test windows
  frame.width = o.width;
  frame.height = o.height;
  window = CreateTestWindow(&frame, o.x, o.y, o.width, o.height, o.host);
  frame.Attach(window, o.host, Background,
               RECT{kContentMargins.left, kContentMargins.top, kContentMargins.right, kContentMargins.bottom},
               kBottomBarLeftWidth);
  frame.SetSkinImage(skin.Bitmap());
  frame.Resize(o.width, o.height);
  widgets = BuildWindowWidgets(frame, TestHandlers());
  frame.SetSkin(o.fontFace, o.fontHeight, kTestColours);
  frame.Resize(o.width, o.height);
  widgets.title->SetStyle(MakeColourPair(kNormal, kNormalBG), kTitleStyle);
  widgets.title->SetVisible(o.titleVisible);
  frame.Paint();
  UpdateWindow(window);
}

SkinHarness::~SkinHarness() {
  frame.Destroy();
  DestroyWindow(window);
}

std::vector<COLORREF> SkinHarness::Capture() const {
  UpdateWindow(window);
  const WindowDc windowDc(window);
  const int w = width(), h = height();
  std::vector<COLORREF> image(size_t(w) * h);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDc dc(nullptr);
  {
    SelectedObject selected(dc.Get(), bitmap.Get());
    BitBlt(dc.Get(), 0, 0, w, h, windowDc.Get(), 0, 0, SRCCOPY);
    GdiFlush();
  }
  const auto* pixels = static_cast<const DWORD*>(bits);
  for (size_t i = 0; i < image.size(); ++i) {
    const DWORD p = pixels[i];
    image[i] = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  return image;
}

bool SkinHarness::Mouse(UINT message, int x, int y) {
  // Moves the system queued for the real pointer (windows appearing or moving under it) are
  // not part of the gesture a test drives.
  if (message == WM_LBUTTONDOWN) {
    MSG stray;
    while (PeekMessageA(&stray, window, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {}
  }
  const WPARAM keys = (message == WM_LBUTTONDOWN || message == WM_MOUSEMOVE) ? MK_LBUTTON : 0;
  return frame.HandleMessage(message, keys, MAKELPARAM(x, y));
}

bool SkinHarness::Key(WPARAM virtualKey) { return frame.HandleMessage(WM_KEYDOWN, virtualKey, 0); }

void SkinHarness::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.hwnd == window && frame.HandleMessage(msg.message, msg.wParam, msg.lParam)) continue;
    DispatchMessageA(&msg);
  }
}

std::string ScreenshotDir() {
  const std::string dir = std::string("Z:") + TARNIX_BINARY_DIR + "/screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

bool SkinHarness::SaveBmp(const std::string& name) const {
  const std::vector<COLORREF> image = Capture();
  const int w = width(), h = height();
  const int stride = (w * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = w;
  header.biHeight = h;  // bottom-up
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biSizeImage = DWORD(stride) * h;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  const std::string path = ScreenshotDir() + "/" + name;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&header, sizeof header, 1, out);
  std::vector<unsigned char> row(stride);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF c = image[size_t(y) * w + x];
      row[x * 3] = GetBValue(c);
      row[x * 3 + 1] = GetGValue(c);
      row[x * 3 + 2] = GetRValue(c);
    }
    std::fwrite(row.data(), 1, row.size(), out);
  }
  return std::fclose(out) == 0;
}

SIZE TextExtent(const SkinFrame& frame, const char* text) {
  const MemoryDc dc(nullptr);
  const SelectedObject font(dc.Get(), frame.Font());
  SIZE extent{};
  GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(strlen(text)), &extent);
  return extent;
}

void FillRows(TrackListView& list, int count) {
  list.Clear();
  for (int i = 0; i < count; ++i) {
    TextString text;
    text.Format("Row %d", i);
    list.InsertRow(-1, text, i + 1);
  }
  list.Redraw();
}

void ShowLines(SkinFrame& frame, TrackListView& list, int rows) {
  list.SetLayout(LayoutRect{12, 20, -20, 20 + 2 + rows * frame.LineHeight()});
}

}  // namespace tarnix::test
