// The editor's open path: file bytes to points, wires and faces through
// Polygoni::ReadFile, on a model set up as the editor sets it up but without windows
// (the window layer then ignores what ReadFile sends it). Input that starts like an .x
// file is opened as one, anything else as 3DS. The model's invariants must hold after.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "app/errors.h"
#include "files/studio.h"
#include "model/polygoni.h"
#include "texture/texture.h"
#include "tests/model/model_setup.h"

namespace {

// The input goes through a real file, as Open reads it; one directory per process,
// removed at exit (registered after the name exists, so it runs while the name does).
const std::string& Directory() {
  static const std::string dir = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/facetry-fuzz-open-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern + "/";
  }();
  static const bool removed_at_exit = std::atexit([] { std::filesystem::remove_all(Directory()); }) == 0;
  (void)removed_at_exit;
  return dir;
}

void WriteAll(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool is_x = size >= 4 && std::memcmp(data, "xof ", 4) == 0;
  const std::string name = is_x ? "in.x" : "in.3ds";
  std::string path = Directory() + name;
  WriteAll(path, data, size);

  SetMsgSink([](const std::string&, const std::string&) {});
  if (Direct3DRMCreate(&lpD3DRM) != D3DRM_OK) std::abort();
  IDirect3DRMFrame* root = nullptr;
  lpD3DRM->CreateFrame(nullptr, &root);
  auto m = std::make_unique<Polygoni>();
  InitModel(m.get(), root);
  studio.views_read = 0;  // kept across files by design; each input starts the same way
  // As with a texture shown: faces then keep texture coordinates in its pixels.
  mesh_texture.tswidth = mesh_texture.tsheight = 64;

  OPENFILENAMEA ofn;
  ofn.lpstrFile = path.data();
  ofn.nFileOffset = static_cast<WORD>(path.size() - name.size());
  ofn.nFileExtension = static_cast<WORD>(path.size() - name.size() + 3);
  char title[16];
  std::snprintf(title, sizeof title, "%s", name.c_str());
  m->ReadFile(ofn, title, nullptr, 1, 1, 1, true);
  // The check scans each point's wires per wire: quadratic around a busy point, so it is
  // left out for the few large inputs rather than have it, not the open, time out.
  if (m->num_wireframes <= 20000 && m->CheckInvariants().has_value()) std::abort();

  DropModel(&m);
  root->Release();
  lpD3DRM->Release();
  lpD3DRM = nullptr;
  SetMsgSink(nullptr);
  return 0;
}
