#include "session/skin_adoption.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "host/player.h"
#include "host/plugin.h"
#include "resources/resource_ids.h"
#include "session/colour_text.h"
#include "session/list_placement.h"
#include "skin/skin_frame.h"
#include "skin/skin_geometry.h"
#include "tracklist/platform.h"
#include "win32/handles.h"
#include "win32/utf16.h"

namespace tarnix {

namespace {

struct ColourKey {
  const char* key;
  const char* fallback;
};

// In colour slot order.
constexpr ColourKey kColourKeys[kColourSlots] = {
    {"NormalBG", "000000"}, {"Normal", "00FF00"}, {"Current", "FFFFFF"}, {"SelectedBG", "0000FF"}};
constexpr const char* kDefaultFont = "Arial";

std::wstring WideOf(const TextString& text) {
  return WideFromUtf8(std::string_view(text.Data(), static_cast<size_t>(text.Length())));
}

// 0 when the file can't be found. Asks for the attributes alone: opening the file for its
// times would cost the tick several more trips to the system.
uint64_t LastWriteTime(const TextString& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(WideOf(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  const FILETIME& written = data.ftLastWriteTime;
  return (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

// The skin's own image, or null when it can't be read or is too small for the frame's pieces.
HBITMAP LoadSkinImage(const TextString& path) {
  BitmapHandle bitmap(
      static_cast<HBITMAP>(LoadImageW(nullptr, WideOf(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  BITMAP size{};
  if (!bitmap || !GetObjectW(bitmap.Get(), sizeof size, &size) || size.bmWidth < kSkinImageMinWidth ||
      size.bmHeight < kSkinImageMinHeight) {
    return nullptr;
  }
  return bitmap.Release();
}

}  // namespace

void AdoptSkin(Plugin& plugin, const TextString& bitmapPath) {
  AdoptedSkin& skin = plugin.skin();
  HBITMAP bitmap = nullptr;
  if (!bitmapPath.IsEmpty()) bitmap = LoadSkinImage(bitmapPath);

  COLORREF colours[kColourSlots];
  TextString fontFace;
  if (!bitmap) {
    // The built-in look: its image and the default colours, whatever the skin's files say.
    bitmap = static_cast<HBITMAP>(
        LoadImageW(Shared().instance, MAKEINTRESOURCEW(IDB_SKIN), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    for (int i = 0; i < kColourSlots; ++i) colours[i] = ColourFromHex(kColourKeys[i].fallback);
    fontFace = kDefaultFont;
  } else {
    const TextString plEdit = bitmapPath.DirectoryPart() + "\\PLEdit.txt";
    for (int i = 0; i < kColourSlots; ++i)
      colours[i] =
          ColourFromHex(FromProfileString("Text", kColourKeys[i].key, kColourKeys[i].fallback, plEdit).c_str());
    fontFace = FromProfileString("Text", "Font", kDefaultFont, plEdit);
  }

  // The frame lets go of the old image before it is deleted.
  SkinFrame* frame = plugin.frame();
  if (frame) frame->SetSkinImage(bitmap);
  skin.bitmap.Reset(bitmap);
  if (frame) {
    frame->SetSkin(fontFace.c_str(), plugin.settings().playlistFontSize, colours);
    PlaceListBelowTitle(plugin, frame->ContentRect());
  }
}

void CheckSkin(Plugin& plugin, bool force) {
  AdoptedSkin& skin = plugin.skin();
  const std::optional<TextString> directory = Player(Shared().playerWindow).SkinDirectory();
  if (!directory) return;  // the player left the buffer alone: keep what we have

  uint64_t time = 0;
  TextString bitmapPath;
  if (!directory->IsEmpty()) {
    TextString base = *directory;
    if (base[base.Length() - 1] != '\\') base += '\\';
    time = LastWriteTime(base + "Main.bmp");
    bitmapPath = base + "Tarnix.bmp";
  }
  if (force || (skin.timeStored && skin.time != time)) {
    AdoptSkin(plugin, bitmapPath);
    if (plugin.frame()) plugin.frame()->Paint();
  }
  skin.time = time;
  skin.timeStored = true;
}

}  // namespace tarnix
