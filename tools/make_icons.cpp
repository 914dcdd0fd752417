// make_icons DIR: writes the editor's icon for desktop menus and file managers into DIR in
// the layout of the hicolor icon theme (DIR/48x48/apps/facetry.png, ...), one PNG per size
// the theme commonly holds. The pictures come from the icon art embedded in the editor
// (16 and 32 pixels), enlarged pixel by pixel so the art stays crisp.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/resource.h"
#include "tools/png_file.h"

namespace {

constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

// The embedded icon `id`; empty with a message when it cannot be had.
Picture EmbeddedIcon(int id) {
  Picture p;
  const ResourceBytes bytes = FindResourceBytes("ICON", MAKEINTRESOURCEA(id));
  const std::string problem = DecodePng(bytes.data, bytes.size, &p.width, &p.height, &p.pixels);
  if (!problem.empty()) {
    std::fprintf(stderr, "make_icons: embedded icon %d: %s\n", id, problem.c_str());
    return {};
  }
  return p;
}

Picture Enlarged(const Picture& from, int factor) {
  Picture to{from.width * factor, from.height * factor, {}};
  to.pixels.resize(size_t(to.width) * size_t(to.height));
  for (int y = 0; y < to.height; ++y)
    for (int x = 0; x < to.width; ++x)
      to.pixels[size_t(y) * size_t(to.width) + size_t(x)] =
          from.pixels[size_t(y / factor) * size_t(from.width) + size_t(x / factor)];
  return to;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_icons DIR\n", stderr);
    return 2;
  }
  // The large icon where a size is a multiple of it, else the small one.
  const Picture small = EmbeddedIcon(12), large = EmbeddedIcon(13);
  if (small.pixels.empty() || large.pixels.empty()) return 1;
  for (int size : kSizes) {
    const Picture& art = size % large.width == 0 ? large : small;
    if (size % art.width != 0 || art.width != art.height) {
      std::fprintf(stderr, "make_icons: no icon art fits %d pixels\n", size);
      return 1;
    }
    const std::filesystem::path dir =
        std::filesystem::path(argv[1]) / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    const std::string path = (dir / "facetry.png").string();
    const Picture icon = Enlarged(art, size / art.width);
    const std::string problem = WritePngWithAlpha(path, icon.pixels.data(), icon.width, icon.height);
    if (!problem.empty()) {
      std::fprintf(stderr, "make_icons: %s: %s\n", path.c_str(), problem.c_str());
      return 1;
    }
  }
  return 0;
}
