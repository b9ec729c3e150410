// Writes the built-in skin image and the plug-in icon:
//   make_skin <resource directory> [<mock directory>]
// With a mock directory it also writes pictures of the painted window at two sizes.

#include <cstdio>
#include <string>

#include "icon_image.h"
#include "skin_image.h"

int main(int argc, char** argv) {
  using namespace tarnix::skin;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <resource dir> [<mock dir>]\n", argv[0]);
    return 2;
  }
  const std::string out = argv[1];
  const Canvas skin = DrawSkinImage();
  if (!WriteFile(out + "/skin.bmp", skin.ToBmp()) || !WriteFile(out + "/tarnix.ico", BuildIconFile())) {
    std::fprintf(stderr, "make_skin: cannot write into %s\n", out.c_str());
    return 1;
  }
  if (argc > 2) {
    const std::string mock = argv[2];
    struct Size {
      int w, h;
      bool active;
      const char* name;
    };
    for (const Size& s : {Size{275, 116, true, "mock-275x116.bmp"}, Size{350, 174, true, "mock-350x174.bmp"},
                          Size{325, 145, false, "mock-325x145-inactive.bmp"}}) {
      if (!WriteFile(mock + "/" + s.name, ComposeWindow(skin, s.w, s.h, s.active).ToBmp())) {
        std::fprintf(stderr, "make_skin: cannot write into %s\n", mock.c_str());
        return 1;
      }
    }
  }
  return 0;
}
