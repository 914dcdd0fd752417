#include "tools/png_file.h"

#include <png.h>

#include <cstring>
#include <utility>

namespace {

// Images larger than this on either side are refused before anything is allocated.
constexpr png_uint_32 kMaxSide = 16384;

// Frees libpng's state for a simplified-API image on every way out.
class ImageGuard {
 public:
  explicit ImageGuard(png_image* image) : image_(image) {}
  ImageGuard(const ImageGuard&) = delete;
  ImageGuard& operator=(const ImageGuard&) = delete;
  ~ImageGuard() { png_image_free(image_); }

 private:
  png_image* image_;
};

std::string Problem(const png_image& image, const char* fallback) {
  return image.message[0] ? std::string(image.message) : std::string(fallback);
}

}  // namespace

std::string WritePng(const std::string& path, const uint32_t* pixels, int width, int height) {
  if (!pixels || width <= 0 || height <= 0 || png_uint_32(width) > kMaxSide || png_uint_32(height) > kMaxSide)
    return "no image to write";
  std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
  for (size_t i = 0, n = size_t(width) * size_t(height); i < n; ++i) {
    rgb[3 * i] = static_cast<unsigned char>(pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<unsigned char>(pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<unsigned char>(pixels[i]);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  ImageGuard guard(&image);
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr))
    return Problem(image, "cannot write the file");
  return {};
}

std::string ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ImageGuard guard(&image);
  if (!png_image_begin_read_from_file(&image, path.c_str())) return Problem(image, "cannot read the file");
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide)
    return "image size out of range";
  image.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr))
    return Problem(image, "damaged image");
  std::vector<uint32_t> out(size_t(image.width) * image.height);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = uint32_t{rgba[4 * i + 3]} << 24 | uint32_t{rgba[4 * i]} << 16 | uint32_t{rgba[4 * i + 1]} << 8 |
             rgba[4 * i + 2];
  *width = int(image.width);
  *height = int(image.height);
  *pixels = std::move(out);
  return {};
}
