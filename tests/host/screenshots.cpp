// Writes pictures of a real message box and of the Options dialog as BMP files into the
// directory given on the command line, to look at them as a user would.

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "box_driver.h"
#include "host/message_box.h"
#include "resource_ids.h"

namespace {

bool SaveWindowPicture(HWND window, const std::string& path) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  // Copied from the screen: Wine's PrintWindow leaves the controls out.
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = ((w * 3 + 3) & ~3), size = stride * h;
  BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                      static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
  bool ok = false;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
         std::fwrite(bits, size, 1, f) == 1;
    ok = std::fclose(f) == 0 && ok;
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return ok;
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + ms;
  MSG msg;
  while (GetTickCount() < end) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  int failures = 0;

  struct Shot {
    const char* text;
    unsigned flags;
    const char* file;
  };
  const Shot shots[] = {
      {"Save changes to Concert 2000-07-03.trk?", 0x24, "box-yesno.bmp"},
      {"Couldn't save C:\\Program_Files\\Winamp\\Bookmarks\\Live_Recordings\\Festival_2000\\"
       "Second_Night\\concert_recording_2000_07_03.trk",
       0x30, "box-couldnt-save.bmp"},
      {"Save changes to Rock & Roll.trk?", 0x23, "box-yesnocancel.bmp"},
  };
  for (const Shot& shot : shots) {
    const std::string path = dir + "\\" + shot.file;
    bool saved = false;
    tarnix::test::RunBox(shot.text, "Tarnix Plugin", shot.flags, 0, 0, [&](const tarnix::test::BoxView& v) {
      Sleep(300);
      saved = SaveWindowPicture(v.box, path);
      PostMessageA(v.box, WM_CLOSE, 0, 0);
    });
    if (!saved) ++failures;
    std::printf("%s: %s\n", shot.file, saved ? "written" : "FAILED");
  }

  HWND options =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OPTIONS), nullptr, QuietDialogProc, 0);
  HWND subtrack =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_EDIT_SUBTRACK), nullptr, QuietDialogProc, 0);
  HWND about = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, QuietDialogProc, 0);
  HWND track =
      CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_EDIT_TRACK), nullptr, QuietDialogProc, 0);
  SetDlgItemTextA(options, IDC_BOOKMARK_PATH, "C:\\Program Files\\Winamp\\Bookmarks");
  CheckDlgButton(options, IDC_AUTO_POPUP, BST_CHECKED);
  CheckDlgButton(options, IDC_PRINT_TIME, BST_CHECKED);
  CheckDlgButton(options, IDC_SHOW_TRACK, BST_CHECKED);
  SendDlgItemMessageA(options, IDC_HOTKEY, HKM_SETHOTKEY, MAKEWORD('T', HOTKEYF_ALT), 0);
  SetDlgItemTextA(about, IDC_VERSION, "Tarnix Plugin v1.2 (Jul  3 2000)");
  SetDlgItemTextA(subtrack, IDC_SUBTRACK_NAME, "Second movement");
  SetDlgItemTextA(subtrack, IDC_MINUTES, "01");
  SetDlgItemTextA(subtrack, IDC_SECONDS, "23");
  SetDlgItemTextA(subtrack, IDC_FRAMES, "34");
  SetDlgItemTextA(track, IDC_TRACK_NAME, "Live at the Festival");
  SetDlgItemTextA(track, IDC_ALBUM, "Festival 2000");
  SetDlgItemTextA(track, IDC_ARTIST, "The Band");
  const std::pair<HWND, const char*> dialogs[] = {{options, "dialog-options.bmp"},
                                                  {subtrack, "dialog-edit-subtrack.bmp"},
                                                  {about, "dialog-about.bmp"},
                                                  {track, "dialog-edit-track.bmp"}};
  int y = 10;
  for (auto [dialog, file] : dialogs) {
    if (!dialog) {
      ++failures;
      continue;
    }
    SetWindowPos(dialog, HWND_TOP, 10, y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    Pump(300);
    const bool saved = SaveWindowPicture(dialog, dir + "\\" + file);
    if (!saved) ++failures;
    std::printf("%s: %s\n", file, saved ? "written" : "FAILED");
    ShowWindow(dialog, SW_HIDE);
    DestroyWindow(dialog);
  }
  return failures == 0 ? 0 : 1;
}
