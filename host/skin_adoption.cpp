#include "host/skin_adoption.h"

#include <cstdint>
#include <cstdio>

#include "host/player.h"
#include "host/plugin_globals.h"
#include "host/settings.h"
#include "host/ui_thread.h"
#include "resources/resource_ids.h"
#include "skin/skin_frame.h"
#include "tracklist/platform.h"

namespace tarnix {

namespace {

// The skin bitmap selected into the skin DC, and what it replaced there.
HBITMAP g_skinBitmap = nullptr;
HGDIOBJ g_previousObject = nullptr;

// Last-write time of the skin's "Main.bmp" as last seen.
uint64_t g_skinTime = 0;
bool g_skinTimeStored = false;

struct ColourKey {
  const char* key;
  const char* fallback;
};

// In colour slot order.
constexpr ColourKey kColourKeys[kColourSlots] = {
    {"NormalBG", "000000"}, {"Normal", "00FF00"}, {"Current", "FFFFFF"}, {"SelectedBG", "0000FF"}};
constexpr const char* kDefaultFont = "Arial";

// 0 when the file can't be found. Asks for the attributes alone: opening the file for its
// times would cost the tick several more trips to the system.
uint64_t LastWriteTime(const TextString& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  const FILETIME& written = data.ftLastWriteTime;
  return (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

}  // namespace

COLORREF ColourFromHex(const char* text) {
  if (!text) return 0;
  if (*text == '#') ++text;
  unsigned long red = 0, green = 0, blue = 0;
  if (std::sscanf(text, "%02lx%02lx%02lx", &red, &green, &blue) != 3) return 0;
  return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

void ReleaseSkinBitmap() {
  if (!g_skinBitmap) return;
  if (g_plugin.skinDC && g_previousObject) SelectObject(g_plugin.skinDC, g_previousObject);
  DeleteObject(g_skinBitmap);
  g_skinBitmap = nullptr;
  g_previousObject = nullptr;
}

void AdoptSkin(const TextString& bitmapPath) {
  ReleaseSkinBitmap();
  HBITMAP bitmap = nullptr;
  if (!bitmapPath.IsEmpty())
    bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, bitmapPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));

  COLORREF colours[kColourSlots];
  TextString fontFace;
  if (!bitmap) {
    // The built-in look: its image and the default colours, whatever the skin's files say.
    bitmap = static_cast<HBITMAP>(
        LoadImageA(g_plugin.instance, MAKEINTRESOURCEA(IDB_SKIN), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    for (int i = 0; i < kColourSlots; ++i) colours[i] = ColourFromHex(kColourKeys[i].fallback);
    fontFace = kDefaultFont;
  } else {
    const TextString plEdit = bitmapPath.DirectoryPart() + "\\PLEdit.txt";
    for (int i = 0; i < kColourSlots; ++i)
      colours[i] = ColourFromHex(FromProfileString("Text", kColourKeys[i].key, kColourKeys[i].fallback, plEdit).c_str());
    fontFace = FromProfileString("Text", "Font", kDefaultFont, plEdit);
  }

  if (bitmap) {
    g_skinBitmap = bitmap;
    g_previousObject = g_plugin.skinDC ? SelectObject(g_plugin.skinDC, bitmap) : nullptr;
  }
  if (SkinFrame* frame = g_plugin.frame) {
    frame->SetSkin(fontFace.c_str(), g_settings.playlistFontSize, colours);
    PlaceListBelowTitle(frame->ContentRect());
  }
}

void CheckSkin(bool force) {
  const std::optional<TextString> directory = Player(g_plugin.playerWindow).SkinDirectory();
  if (!directory) return;  // the player left the buffer alone: keep what we have

  uint64_t time = 0;
  TextString bitmapPath;
  if (!directory->IsEmpty()) {
    TextString base = *directory;
    if (base[base.Length() - 1] != '\\') base += '\\';
    time = LastWriteTime(base + "Main.bmp");
    bitmapPath = base + "Tarnix.bmp";
  }
  if (force || (g_skinTimeStored && g_skinTime != time)) {
    AdoptSkin(bitmapPath);
    if (g_plugin.frame) g_plugin.frame->Paint();
  }
  g_skinTime = time;
  g_skinTimeStored = true;
}

}  // namespace tarnix
