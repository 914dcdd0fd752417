#include "tools/render_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/rm/d3drm.h"
#include "tools/mesh_files.h"
#include "tools/png_file.h"

namespace {

constexpr const char* kUsage =
    "usage: facetry-mesh render IN OUT.png [--size WxH] [--view front|side|top] "
    "[--mode solid|wireframe|points]\n";

constexpr int kDefaultWidth = 640, kDefaultHeight = 480;
constexpr int kMaxSide = 8192;
// Share of the image the mesh's box is made to fill.
constexpr double kFill = 0.8;

enum class View { kFront, kSide, kTop };

struct Options {
  std::string in, out;
  int width = kDefaultWidth, height = kDefaultHeight;
  View view = View::kFront;
  D3DRMRENDERQUALITY fill = D3DRMFILL_SOLID;
};

// A camera direction, its up vector and the world axes that run across the image, up the
// image and into it (index into x, y, z).
struct ViewAxes {
  D3DVECTOR dir, up;
  int across, upward, depth;
};

constexpr ViewAxes kViewAxes[] = {
    {{0, 0, 1}, {0, 1, 0}, 0, 1, 2},   // front: from -z
    {{1, 0, 0}, {0, 1, 0}, 2, 1, 0},   // side: from -x, +z to the left
    {{0, -1, 0}, {0, 0, 1}, 0, 2, 1},  // top: from +y, +z up the image
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "facetry-mesh: %s\n%s", problem.c_str(), kUsage);
  return kExitUsage;
}

bool ParseSide(const std::string& s, int* out) {
  if (s.empty() || s.size() > 5 ||
      !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  const int v = std::atoi(s.c_str());
  if (v < 1 || v > kMaxSide) return false;
  *out = v;
  return true;
}

bool ParseSize(const std::string& s, int* width, int* height) {
  const size_t x = s.find('x');
  return x != std::string::npos && ParseSide(s.substr(0, x), width) && ParseSide(s.substr(x + 1), height);
}

// Returns an empty string, or the usage problem.
std::string ParseOptions(int argc, char** argv, Options* o) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takes_value = arg == "--size" || arg == "--view" || arg == "--mode";
    if (!takes_value) {
      if (arg.size() > 1 && arg[0] == '-') return "unknown option " + arg;
      files.push_back(arg);
      continue;
    }
    if (i + 1 >= argc) return arg + " needs a value";
    const std::string value = argv[++i];
    if (arg == "--size") {
      if (!ParseSize(value, &o->width, &o->height)) return "--size takes WxH, each 1 to 8192";
    } else if (arg == "--view") {
      if (value == "front")
        o->view = View::kFront;
      else if (value == "side")
        o->view = View::kSide;
      else if (value == "top")
        o->view = View::kTop;
      else
        return "--view takes front, side or top";
    } else {
      if (value == "solid")
        o->fill = D3DRMFILL_SOLID;
      else if (value == "wireframe")
        o->fill = D3DRMFILL_WIREFRAME;
      else if (value == "points")
        o->fill = D3DRMFILL_POINTS;
      else
        return "--mode takes solid, wireframe or points";
    }
  }
  if (files.size() != 2) return "render takes an input and an output file";
  o->in = files[0];
  o->out = files[1];
  return {};
}

std::string LoadProblem(HRESULT r) {
  if (r == D3DRMERR_FILENOTFOUND) return "cannot open the file";
  if (r == D3DRMERR_BADFILE) return "not a readable .x file";
  if (r == D3DRMERR_BADALLOC) return "out of memory";
  char text[48];
  std::snprintf(text, sizeof text, "cannot load (result 0x%08X)", static_cast<unsigned>(r));
  return text;
}

double Component(const D3DVECTOR& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

// Places the camera and the viewport's planes so that the box fills kFill of the image.
HRESULT Frame(const D3DRMBOX& box, const ViewAxes& axes, int width, int height, IDirect3DRMFrame* scene,
              IDirect3DRMFrame* camera, IDirect3DRMViewport* viewport) {
  double half[3];
  for (int a = 0; a < 3; ++a) half[a] = (Component(box.max, a) - Component(box.min, a)) / 2;
  // A flat or empty box still needs a size to frame: a hundredth of its largest side.
  const double largest = std::max({half[0], half[1], half[2], 1e-6});
  for (double& h : half) h = std::max(h, largest * 0.01);
  const double across = half[axes.across], upward = half[axes.upward], depth = half[axes.depth];
  // With the field half the front distance, the view's half-width at distance d is
  // xf * d / 2 (and likewise upward with yf).
  const double xf = width > height ? 1.0 : double(width) / height;
  const double yf = width > height ? double(height) / width : 1.0;
  const double nearest = std::max(across / (kFill * 0.5 * xf), upward / (kFill * 0.5 * yf));
  const double distance = depth + nearest;
  const double front = nearest * 0.5, back = (distance + depth) * 2;

  const D3DVECTOR centre{(box.min.x + box.max.x) / 2, (box.min.y + box.max.y) / 2,
                         (box.min.z + box.max.z) / 2};
  HRESULT r =
      camera->SetOrientation(scene, axes.dir.x, axes.dir.y, axes.dir.z, axes.up.x, axes.up.y, axes.up.z);
  if (SUCCEEDED(r))
    r = camera->SetPosition(scene, static_cast<D3DVALUE>(centre.x - axes.dir.x * distance),
                            static_cast<D3DVALUE>(centre.y - axes.dir.y * distance),
                            static_cast<D3DVALUE>(centre.z - axes.dir.z * distance));
  // The planes must stay ordered after each call.
  if (SUCCEEDED(r)) r = viewport->SetBack(static_cast<D3DVALUE>(std::max<double>(back, viewport->GetBack())));
  if (SUCCEEDED(r)) r = viewport->SetFront(static_cast<D3DVALUE>(front));
  if (SUCCEEDED(r)) r = viewport->SetBack(static_cast<D3DVALUE>(back));
  if (SUCCEEDED(r)) r = viewport->SetField(static_cast<D3DVALUE>(front * 0.5));
  return r;
}

// A 3DS file's triangles into the builder. The file has no normals; the builder makes
// smooth ones, so the mesh is lit as an .x file without normals would be.
int Load3dsInto(const std::string& path, IDirect3DRMMeshBuilder* builder) {
  MeshData mesh;
  int status = kExitOk;
  if (!LoadMesh(path.c_str(), &mesh, &status)) return status;
  if (mesh.face_sizes.empty()) return kExitOk;  // refused below with the .x files' words
  std::vector<DWORD> data;
  data.reserve(mesh.face_sizes.size() + mesh.face_indices.size() + 1);
  size_t at = 0;
  for (uint32_t n : mesh.face_sizes) {
    data.push_back(n);
    data.insert(data.end(), mesh.face_indices.begin() + static_cast<ptrdiff_t>(at),
                mesh.face_indices.begin() + static_cast<ptrdiff_t>(at + n));
    at += n;
  }
  data.push_back(0);
  if (FAILED(builder->AddFaces(static_cast<DWORD>(mesh.positions.size()), mesh.positions.data(), 0, nullptr,
                               data.data(), nullptr)) ||
      FAILED(builder->GenerateNormals()))
    return Fail(path, "cannot make a mesh from the file");
  return kExitOk;
}

std::string Directory(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int Render(const Options& o) {
  IDirect3DRM* raw = nullptr;
  if (FAILED(Direct3DRMCreate(&raw))) return Fail(o.in, "cannot start the renderer");
  RmRef<IDirect3DRM> rm(raw, false);
  // Textures named by the file are looked up beside it.
  rm->AddSearchPath(Directory(o.in).c_str());

  IDirect3DRMMeshBuilder* builder_raw = nullptr;
  if (FAILED(rm->CreateMeshBuilder(&builder_raw))) return Fail(o.in, "cannot make a mesh builder");
  RmRef<IDirect3DRMMeshBuilder> builder(builder_raw, false);
  if (Is3dsPath(o.in)) {
    if (int status = Load3dsInto(o.in, builder.get()); status != kExitOk) return status;
  } else {
    const HRESULT loaded = builder->Load(o.in.c_str(), nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
    if (FAILED(loaded)) return Fail(o.in, LoadProblem(loaded));
  }
  if (builder->GetFaceCount() == 0) return Fail(o.in, "the file holds no faces to render");

  IDirect3DRMMesh* mesh_raw = nullptr;
  if (FAILED(builder->CreateMesh(&mesh_raw))) return Fail(o.in, "cannot make a mesh from the file");
  RmRef<IDirect3DRMMesh> mesh(mesh_raw, false);
  D3DRMBOX box;
  if (FAILED(mesh->GetBox(&box))) return Fail(o.in, "the mesh has no extent");

  IDirect3DRMFrame *scene_raw = nullptr, *camera_raw = nullptr;
  if (FAILED(rm->CreateFrame(nullptr, &scene_raw))) return Fail(o.in, "cannot make the scene");
  RmRef<IDirect3DRMFrame> scene(scene_raw, false);
  if (FAILED(rm->CreateFrame(scene.get(), &camera_raw))) return Fail(o.in, "cannot make the camera");
  RmRef<IDirect3DRMFrame> camera(camera_raw, false);
  scene->AddVisual(mesh.get());

  IDirect3DRMLight *ambient_raw = nullptr, *point_raw = nullptr;
  if (FAILED(rm->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.3f, 0.3f, 0.3f, &ambient_raw)))
    return Fail(o.in, "cannot make the lights");
  RmRef<IDirect3DRMLight> ambient(ambient_raw, false);
  if (FAILED(rm->CreateLightRGB(D3DRMLIGHT_POINT, 0.9f, 0.9f, 0.9f, &point_raw)))
    return Fail(o.in, "cannot make the lights");
  RmRef<IDirect3DRMLight> point(point_raw, false);
  scene->AddLight(ambient.get());
  camera->AddLight(point.get());

  GUID driver = kRgbDriverGuid;
  IDirect3DRMDevice* device_raw = nullptr;
  if (FAILED(rm->CreateDeviceInMemory(&driver, o.width, o.height, &device_raw)))
    return Fail(o.out, "cannot make an image of that size");
  RmRef<IDirect3DRMDevice> device(device_raw, false);
  device->SetQuality(D3DRMSHADE_GOURAUD | D3DRMLIGHT_ON | o.fill);
  IDirect3DRMViewport* viewport_raw = nullptr;
  if (FAILED(rm->CreateViewport(device.get(), camera.get(), 0, 0, DWORD(o.width), DWORD(o.height),
                                &viewport_raw)))
    return Fail(o.out, "cannot make the view");
  RmRef<IDirect3DRMViewport> viewport(viewport_raw, false);

  const ViewAxes& axes = kViewAxes[static_cast<int>(o.view)];
  if (FAILED(Frame(box, axes, o.width, o.height, scene.get(), camera.get(), viewport.get())))
    return Fail(o.in, "the mesh's extent cannot be framed");
  if (FAILED(viewport->Clear()) || FAILED(viewport->Render(scene.get())))
    return Fail(o.in, "rendering failed");
  const raster::Framebuffer& fb = device->Framebuffer();
  const std::string problem = WritePng(o.out, fb.color.data(), fb.width, fb.height);
  if (!problem.empty()) return Fail(o.out, problem);
  return kExitOk;
}

}  // namespace

int RunRenderCommand(int argc, char** argv) {
  Options options;
  const std::string problem = ParseOptions(argc, argv, &options);
  if (!problem.empty()) return Usage(problem);
  return Render(options);
}
