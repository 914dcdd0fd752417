// The registered resource data and lookups by resource name.
#include <strings.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <limits>
#include <cstring>

#include "platform/win/window_record.h"

namespace {

ResourceSet& Registered() {
  static auto* resources = new ResourceSet;
  return *resources;
}

// "#12" names the number 12; anything else that is not a plain number is a name.
bool ParseNumberName(const char* text, int* number) {
  if (!text || text[0] != '#' || !text[1]) return false;
  char* end = nullptr;
  const long value = std::strtol(text + 1, &end, 10);
  if (*end || value < 0 || value > 0xFFFF) return false;
  *number = static_cast<int>(value);
  return true;
}

template <typename Resource>
const Resource* FindByName(const std::vector<Resource>& list, LPCSTR name) {
  for (const Resource& resource : list)
    if (resource.name.Matches(name)) return &resource;
  return nullptr;
}

}  // namespace

ResourceKey::ResourceKey(const char* text) {
  if (!text) return;
  if (IS_INTRESOURCE(text)) {
    id = LOWORD(reinterpret_cast<uintptr_t>(text));
  } else if (!ParseNumberName(text, &id)) {
    name = text;
  }
}

bool ResourceKey::Matches(LPCSTR lookup) const {
  if (!lookup) return false;
  if (IS_INTRESOURCE(lookup)) return id >= 0 && id == LOWORD(reinterpret_cast<uintptr_t>(lookup));
  int number = 0;
  if (ParseNumberName(lookup, &number)) return id == number;
  return id < 0 && strcasecmp(name.c_str(), lookup) == 0;
}

void RegisterResources(const ResourceSet& resources) { Registered() = resources; }

const MenuResource* FindMenuResource(LPCSTR name) { return FindByName(Registered().menus, name); }
const AcceleratorResource* FindAcceleratorResource(LPCSTR name) {
  return FindByName(Registered().accelerators, name);
}
const BitmapResource* FindBitmapResource(LPCSTR name) { return FindByName(Registered().bitmaps, name); }
const CursorResource* FindCursorResource(LPCSTR name) { return FindByName(Registered().cursors, name); }
const IconResource* FindIconResource(LPCSTR name) { return FindByName(Registered().icons, name); }
const DialogResource* FindDialogResource(LPCSTR name) { return FindByName(Registered().dialogs, name); }

const std::string* FindString(UINT id) {
  for (const StringResource& entry : Registered().strings)
    if (entry.id == id) return &entry.text;
  return nullptr;
}

int LoadStringA(HINSTANCE /*instance*/, UINT id, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  const std::string* text = FindString(id);
  if (!text) {
    buffer[0] = '\0';
    return 0;
  }
  const size_t count = std::min(text->size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text->data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

QImage ImageFromResource(const ImageResource& image) {
  if (image.encoded.data && image.encoded.size) {
    if (image.encoded.size > static_cast<size_t>(std::numeric_limits<int>::max())) return QImage();
    return QImage::fromData(image.encoded.data, static_cast<int>(image.encoded.size))
        .convertToFormat(QImage::Format_ARGB32);
  }
  if (image.width <= 0 || image.height <= 0) return QImage();
  // The pixel count must match the stated size exactly; anything else is a damaged image.
  if (static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height) != image.pixels.size())
    return QImage();
  QImage result(image.width, image.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height; ++y)
    std::memcpy(result.scanLine(y), image.pixels.data() + static_cast<size_t>(y) * image.width,
                static_cast<size_t>(image.width) * 4);
  return result;
}
