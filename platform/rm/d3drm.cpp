#include "platform/rm/d3drm.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>

#include "platform/rm/faults.h"

namespace {

// Larger inputs are refused before allocating: no mesh or texture this layer reads comes
// near it.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;

bool IsFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

std::string RmSearchPath::Resolve(const std::string& name) const {
  if (name.empty()) return {};
  if (name.front() == '/') return name;
  for (const std::string& dir : dirs) {
    if (dir.empty()) continue;
    std::string candidate = dir;
    if (candidate.back() != '/') candidate += '/';
    candidate += name;
    if (IsFile(candidate)) return candidate;
  }
  return IsFile(name) ? name : std::string();
}

HRESULT RmReadFile(const std::string& path, std::vector<unsigned char>* bytes) {
  if (!bytes) return D3DRMERR_BADVALUE;
  if (!IsFile(path)) return D3DRMERR_FILENOTFOUND;
  std::ifstream in(path, std::ios::binary);
  if (!in) return D3DRMERR_FILENOTFOUND;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > kMaxFileBytes) return D3DRMERR_BADFILE;
  in.seekg(0, std::ios::beg);
  std::vector<unsigned char> buffer;
  try {
    buffer.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return D3DRMERR_BADALLOC;
  }
  if (size > 0 && !in.read(reinterpret_cast<char*>(buffer.data()), size)) return D3DRMERR_BADFILE;
  *bytes = std::move(buffer);
  return D3DRM_OK;
}

HRESULT RmLoadTexture(const RmSearchPath& search, const char* name, IDirect3DRMTexture** texture) {
  if (!name || !texture) return D3DRMERR_BADVALUE;
  const std::string path = search.Resolve(name);
  if (path.empty()) return D3DRMERR_FILENOTFOUND;
  std::vector<unsigned char> bytes;
  if (HRESULT r = RmReadFile(path, &bytes); FAILED(r)) return r;
  int width = 0, height = 0, bits = 0;
  std::vector<uint32_t> pixels;
  if (FAILED(DecodeBmp(bytes.data(), bytes.size(), &width, &height, &pixels, &bits))) return D3DRMERR_BADFILE;
  auto* t = new IDirect3DRMTexture(width, height, std::move(pixels), name);
  t->SetSourceBits(bits);
  *texture = t;
  return D3DRM_OK;
}

IDirect3DRM::IDirect3DRM() : search_(std::make_shared<RmSearchPath>()) {}

HRESULT Direct3DRMCreate(IDirect3DRM** d3drm) {
  if (!d3drm) return D3DRMERR_BADVALUE;
  *d3drm = new IDirect3DRM();
  return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateFrame(IDirect3DRMFrame* parent, IDirect3DRMFrame** frame) {
  if (!frame) return D3DRMERR_BADVALUE;
  auto* f = new IDirect3DRMFrame();
  if (parent) {
    if (HRESULT r = parent->AddChild(f); FAILED(r)) {
      f->Release();
      return r;
    }
  }
  *frame = f;
  return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateMesh(IDirect3DRMMesh** mesh) {
  if (!mesh) return D3DRMERR_BADVALUE;
  *mesh = new IDirect3DRMMesh();
  return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateMeshBuilder(IDirect3DRMMeshBuilder** builder) {
  if (!builder) return D3DRMERR_BADVALUE;
  *builder = new IDirect3DRMMeshBuilder(search_);
  return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateFace(IDirect3DRMFace** face) {
  if (!face) return D3DRMERR_BADVALUE;
  *face = new IDirect3DRMFace();
  return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateLightRGB(D3DRMLIGHTTYPE type, D3DVALUE r, D3DVALUE g, D3DVALUE b,
                                    IDirect3DRMLight** light) {
  if (!light || type < D3DRMLIGHT_AMBIENT || type > D3DRMLIGHT_PARALLELPOINT) return D3DRMERR_BADVALUE;
  if (GetRmFaults().lights_fail) return D3DRMERR_BADALLOC;
  *light = new IDirect3DRMLight(type, D3DRMCreateColorRGB(r, g, b));
  return D3DRM_OK;
}

HRESULT IDirect3DRM::CreateMaterial(D3DVALUE power, IDirect3DRMMaterial** material) {
  if (!material || !(power >= 0)) return D3DRMERR_BADVALUE;
  *material = new IDirect3DRMMaterial(power);
  return D3DRM_OK;
}

HRESULT IDirect3DRM::LoadTexture(const char* name, IDirect3DRMTexture** texture) {
  if (!name || !texture) return D3DRMERR_BADVALUE;
  IDirect3DRMTexture* t = nullptr;
  if (HRESULT r = RmLoadTexture(*search_, name, &t); FAILED(r)) return r;
  t->SetShades(texture_shades_);
  t->SetColors(texture_colors_);
  *texture = t;
  return D3DRM_OK;
}

HRESULT IDirect3DRM::SetSearchPath(const char* path) {
  if (!path) return D3DRMERR_BADVALUE;
  search_->dirs.clear();
  return AddSearchPath(path);
}

HRESULT IDirect3DRM::AddSearchPath(const char* path) {
  if (!path) return D3DRMERR_BADVALUE;
  const std::string all = path;
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find(';', start);
    if (end == std::string::npos) end = all.size();
    if (end > start) search_->dirs.push_back(all.substr(start, end - start));
    start = end + 1;
  }
  return D3DRM_OK;
}

HRESULT IDirect3DRM::GetSearchPath(DWORD* size, char* path) {
  if (!size) return D3DRMERR_BADVALUE;
  std::string all;
  for (const std::string& dir : search_->dirs) {
    if (!all.empty()) all += ';';
    all += dir;
  }
  const auto needed = static_cast<DWORD>(all.size() + 1);
  if (path) {
    if (*size < needed) {
      *size = needed;
      return D3DRMERR_BADVALUE;
    }
    std::copy(all.c_str(), all.c_str() + needed, path);
  }
  *size = needed;
  return D3DRM_OK;
}

HRESULT IDirect3DRM::SetDefaultTextureColors(DWORD colors) {
  if (colors == 0) return D3DRMERR_BADVALUE;
  texture_colors_ = colors;
  return D3DRM_OK;
}

HRESULT IDirect3DRM::SetDefaultTextureShades(DWORD shades) {
  if (shades == 0) return D3DRMERR_BADVALUE;
  texture_shades_ = shades;
  return D3DRM_OK;
}
