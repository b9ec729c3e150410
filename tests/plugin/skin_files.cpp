#include "tests/plugin/skin_files.h"

#include "testhost/plugin_session.h"

namespace tarnix::integration {

namespace {

// Written the way people write these files: comments, lower-case names, loose spacing, one
// colour without its '#'.
constexpr const char kDuskPlEdit[] =
    "; Dusk - playlist editor colours\r\n"
    "; (edited by hand; the player does not mind the spacing)\r\n"
    "\r\n"
    "[text]\r\n"
    "normal   =#E0C040\r\n"
    "current= #40E0FF\r\n"
    "  normalbg =  182838\r\n"
    "selectedbg=#804020\r\n"
    "; a fixed-pitch face for the list\r\n"
    "font   =  Courier New\r\n"
    "\r\n"
    "[other]\r\n"
    "normal=#FF0000\r\n";

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  return ok;
}

}  // namespace

std::uint32_t DuskColour(std::uint32_t rgb) {
  const std::uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
  return (255 - b) << 16 | r << 8 | g;
}

std::optional<testhost::RgbImage> DuskImage() {
  std::optional<testhost::RgbImage> image = testhost::ReadImage(testhost::SourcePath("resources/skin.bmp"));
  if (!image) return std::nullopt;
  for (size_t i = 0; i + 2 < image->rgb.size(); i += 3) {
    const std::uint32_t moved = DuskColour(static_cast<std::uint32_t>(image->rgb[i]) << 16 |
                                           static_cast<std::uint32_t>(image->rgb[i + 1]) << 8 | image->rgb[i + 2]);
    image->rgb[i] = static_cast<std::uint8_t>(moved >> 16);
    image->rgb[i + 1] = static_cast<std::uint8_t>(moved >> 8);
    image->rgb[i + 2] = static_cast<std::uint8_t>(moved);
  }
  return image;
}

bool WriteDuskSkin(const std::string& directory) {
  CreateDirectoryA(directory.c_str(), nullptr);
  const std::optional<testhost::RgbImage> image = DuskImage();
  if (!image) return false;
  const std::string bitmap = testhost::EncodeBmp(*image);
  return WriteBytes(directory + "\\Tarnix.bmp", bitmap) && WriteBytes(directory + "\\PLEdit.txt", kDuskPlEdit) &&
         WriteBytes(directory + "\\Main.bmp", bitmap);
}

}  // namespace tarnix::integration
