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

// Writes 0xAARRGGBB pixels as RGB or RGBA.
std::string Write(const std::string& path, const uint32_t* pixels, int width, int height, bool alpha) {
  if (!pixels || width <= 0 || height <= 0 || png_uint_32(width) > kMaxSide || png_uint_32(height) > kMaxSide)
    return "no image to write";
  const size_t channels = alpha ? 4 : 3;
  std::vector<unsigned char> bytes(size_t(width) * size_t(height) * channels);
  for (size_t i = 0, n = size_t(width) * size_t(height); i < n; ++i) {
    unsigned char* out = &bytes[channels * i];
    out[0] = static_cast<unsigned char>(pixels[i] >> 16);
    out[1] = static_cast<unsigned char>(pixels[i] >> 8);
    out[2] = static_cast<unsigned char>(pixels[i]);
    if (alpha) out[3] = static_cast<unsigned char>(pixels[i] >> 24);
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  ImageGuard guard(&image);
  if (!png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr))
    return Problem(image, "cannot write the file");
  return {};
}

// Finishes a read that png_image_begin_read_* started.
std::string Finish(png_image& image, int* width, int* height, std::vector<uint32_t>* pixels) {
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

}  // namespace

std::string WritePng(const std::string& path, const uint32_t* pixels, int width, int height) {
  return Write(path, pixels, width, height, false);
}

std::string WritePngWithAlpha(const std::string& path, const uint32_t* pixels, int width, int height) {
  return Write(path, pixels, width, height, true);
}

std::string ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ImageGuard guard(&image);
  if (!png_image_begin_read_from_file(&image, path.c_str())) return Problem(image, "cannot read the file");
  return Finish(image, width, height, pixels);
}

std::string DecodePng(const unsigned char* bytes, size_t size, int* width, int* height,
                      std::vector<uint32_t>* pixels) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  ImageGuard guard(&image);
  if (!bytes || !png_image_begin_read_from_memory(&image, bytes, size)) return Problem(image, "cannot read the image");
  return Finish(image, width, height, pixels);
}
