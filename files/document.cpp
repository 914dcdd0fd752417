// The one document: New, Open, Save and Save As, Merge, and the reader that turns a mesh
// file (.x through the mesh builder, anything else through the 3DS reader) into the
// editor's points, wires and faces.
//
// A file that cannot be read leaves the model as it was: the old model goes only once the
// file is in memory. A save that cannot be written leaves the file on disk as it was and
// the document still marked changed.
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/edit_input.h"
#include "app/errors.h"
#include "app/globals.h"
#include "files/studio.h"
#include "model/mesh_joining.h"
#include "model/polygoni.h"
#include "platform/rm/d3drm.h"
#include "platform/rm/face.h"
#include "platform/rm/file_replace.h"
#include "platform/rm/math3d.h"
#include "platform/rm/mesh.h"
#include "platform/rm/mesh_builder.h"
#include "platform/win/win.h"
#include "texture/texture.h"
#include "views/mouse.h"
#include "views/viewport_data.h"

namespace {

constexpr char kCaption[] = "Polygon";
// Double-zero terminated lists of (description, pattern); the literal adds the last zero.
constexpr char kFilter[] = "DirectX\0*.X\0_3D Studio\0*.3DS\0";
constexpr char kFilterWithAll[] = "DirectX\0*.X\0_3D Studio\0*.3DS\0All\0*.*\0";
constexpr char kUntitled[] = "UNTITLED";
// Loaded vertices are lifted this far in z while they are matched to points.
constexpr D3DVALUE kLoadDepth = 30.0f;
constexpr WPARAM kEditMode = 50;
constexpr WPARAM kSolidWithPoints = 273;
constexpr WPARAM kCenterMesh = 286;
constexpr WPARAM kReplaceFile = 287;
constexpr DWORD kSaveEverything = 15;  // normals, texture coordinates, materials, texture names
constexpr int kMaxIn3ds = 65535;

char file_title[256];

int AskToSave(const Polygoni& m, HWND hwnd) {
  const std::string text = std::string("Save current changes in ") + m.sztitlename + "?";
  return MessageBoxA(hwnd, text.c_str(), kCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
}

void FillRecord(Polygoni& m, HWND hwnd, bool with_all, OPENFILENAMEA* ofn) {
  *ofn = OPENFILENAMEA{};
  ofn->lStructSize = sizeof *ofn;
  ofn->hwndOwner = hwnd;
  ofn->lpstrFilter = with_all ? kFilterWithAll : kFilter;
  ofn->nFilterIndex = 1;
  ofn->lpstrFile = m.sztitlename;
  ofn->nMaxFile = kPathLength;
  ofn->lpstrFileTitle = file_title;
  ofn->nMaxFileTitle = sizeof file_title;
  ofn->Flags = OFN_EXPLORER | OFN_CREATEPROMPT | (with_all ? OFN_HIDEREADONLY : 0);
  ofn->lpstrDefExt = "X";
}

const char* LoadErrorName(HRESULT r) {
  struct Row {
    uint32_t code;
    const char* name;
  };
  static constexpr Row kNames[] = {
      {0x8876030D, "D3DRM_BADOBJECT"},      {0x8876030E, "D3DRM_BADTYPE"},
      {0x8876030F, "D3DRM_BADALLOC"},       {0x88760310, "D3DRM_FACEUSED"},
      {0x88760311, "D3DRM_NOTFOUND"},       {0x88760312, "D3DRM_NOTDONEYET"},
      {0x88760313, "D3DRM_FILEMOTFOUND"},   {0x88760314, "D3DRM_BADFILE"},
      {0x88760316, "D3DRM_BADVALUE"},       {0x88760317, "D3DRM_BADMAJORVERSION"},
      {0x88760318, "D3DRM_BADMINORVERSION"}, {0x88760319, "D3DRM_UNABLETOEXECUTE"},
  };
  for (const Row& row : kNames)
    if (row.code == static_cast<uint32_t>(r)) return row.name;
  return nullptr;
}

bool Exists(const char* path) {
  struct stat st {};
  return stat(path, &st) == 0;
}

// NaN equals nothing, so NaN positions are kept out of the tables.
bool HasNaN(const D3DVECTOR& v) { return std::isnan(v.x) || std::isnan(v.y) || std::isnan(v.z); }

// The model's positions in the model frame for the length of a save: the file holds
// model-frame coordinates, the editor scene coordinates. Put back exactly afterwards.
class ModelFrameBaked {
 public:
  explicit ModelFrameBaked(Polygoni& m) : m_(m) {
    const math3d::Mat4 to_model =
        m.scene && m.world_frame2 ? CoordinatesBetween(*m.scene, *m.world_frame2) : math3d::Identity();
    kept_.reserve(static_cast<size_t>(m.num_points));
    m.pointdata.ForEach(m.num_points, [&](PointStuff& p) {
      kept_.push_back(p.point);
      p.point = math3d::ToD3DVector(math3d::TransformPoint(math3d::ToVec3(p.point), to_model));
    });
  }
  ~ModelFrameBaked() {
    size_t k = 0;
    m_.pointdata.ForEach(m_.num_points, [&](PointStuff& p) { p.point = kept_[k++]; });
  }
  ModelFrameBaked(const ModelFrameBaked&) = delete;
  ModelFrameBaked& operator=(const ModelFrameBaked&) = delete;

 private:
  Polygoni& m_;
  std::vector<D3DVECTOR> kept_;
};

bool SaveX(Polygoni& m, const char* path) {
  IDirect3DRMMeshBuilder* builder = nullptr;
  if (!lpD3DRM || FAILED(lpD3DRM->CreateMeshBuilder(&builder)) || !builder) {
    Msg("CreateMeshBuilder failed");
    return false;
  }
  bool ok = true;
  SendMessageA(main_window, WM_COMMAND, kSolidWithPoints, 0);
  if (!m.scenemesh || FAILED(builder->AddMesh(m.scenemesh))) {
    Msg("AddMesh() failed");
    ok = false;
  } else if (FAILED(builder->Save(path, D3DRMXOF_BINARY, kSaveEverything))) {
    Msg("Save failed");
    ok = false;
  }
  builder->Release();
  return ok;
}

bool Save3ds(Polygoni& m, const char* path) {
  if (m.num_points > kMaxIn3ds || m.num_faces > kMaxIn3ds) {
    Msg(kTooBigFor3ds);
    return false;
  }
  studio.Reset();
  studio.verts.reserve(static_cast<size_t>(m.num_points));
  m.pointdata.ForEach(m.num_points, [](PointStuff& p) { studio.verts.push_back(p.point); });
  studio.facesl.reserve(static_cast<size_t>(m.num_faces));
  m.facedata.ForEach(m.num_faces, [](FaceStuff& f) {
    studio.facesl.push_back({static_cast<uint32_t>(*f.points[0]), static_cast<uint32_t>(*f.points[1]),
                             static_cast<uint32_t>(*f.points[2])});
  });
  studio.vertex_count = static_cast<unsigned>(studio.verts.size());
  studio.face_count = static_cast<unsigned>(studio.facesl.size());

  // The chunks are written (and their lengths patched) in memory, then replace the file
  // in one step.
  char* bytes = nullptr;
  size_t size = 0;
  studio.bin3ds = open_memstream(&bytes, &size);
  if (!studio.bin3ds) {
    Msg("THE FILE IS NULL");
    studio.Reset();
    return false;
  }
  studio.WritePrimaryChunk();
  // The writer ends back at offset 0; a memory stream's size is where it stands at close.
  std::fseek(studio.bin3ds, 0, SEEK_END);
  std::fclose(studio.bin3ds);
  studio.bin3ds = nullptr;
  const std::string content(bytes, size);
  std::free(bytes);
  studio.Reset();
  if (FAILED(WriteFileReplacing(path, content))) {
    Msg("THE FILE IS NULL");
    return false;
  }
  return true;
}

// ---- reading ----------------------------------------------------------------------------

// One face of the file: its corners as indices into the vertex array, and the face
// object the model's faces keep (null for a 3DS face).
struct FileFace {
  std::vector<uint32_t> corners;
  IDirect3DRMFace* face = nullptr;
};

// What a file holds once it is in memory, before the model is touched.
struct FileMesh {
  std::vector<D3DVECTOR> vertices;
  std::vector<FileFace> faces;
  IDirect3DRMMeshBuilder* builder = nullptr;  // the .x file's, for texture coordinates

  FileMesh() = default;
  FileMesh(const FileMesh&) = delete;
  FileMesh& operator=(const FileMesh&) = delete;
  ~FileMesh() {
    for (FileFace& f : faces)
      if (f.face) f.face->Release();
    if (builder) builder->Release();
  }
};

// 1, 0 for an .x file that failed to load, -1 for a 3DS file that cannot be opened, and
// 0 for a 3DS file that is damaged or is no 3DS file.
int ReadX(const char* path, const std::string& directory, FileMesh* out) {
  if (!lpD3DRM || FAILED(lpD3DRM->CreateMeshBuilder(&out->builder)) || !out->builder) {
    out->builder = nullptr;
    polygoner.generic_error();
    return 0;
  }
  if (FAILED(lpD3DRM->SetSearchPath(directory.c_str()))) Msg("SetSearchPath() Failed");
  const HRESULT r = out->builder->Load(path, nullptr, D3DRMLOAD_FROMFILE, nullptr, nullptr);
  if (r != D3DRM_OK) {
    if (const char* name = LoadErrorName(r)) Msg(name);
    return 0;
  }
  IDirect3DRMMeshBuilder* b = out->builder;
  IDirect3DRMMesh* mesh = nullptr;
  if (SUCCEEDED(b->CreateMesh(&mesh)) && mesh) {
    // The mesh colour is kept with red in the low byte.
    if (b->GetVertexCount() > 1 && mesh->GetGroupCount() > 0) {
      const D3DCOLOR c = mesh->GetGroupColor(0);
      texture.color = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
    mesh->Release();
  }
  DWORD count = static_cast<DWORD>(b->GetVertexCount());
  out->vertices.resize(count);
  if (count > 0 && FAILED(b->GetVertices(&count, out->vertices.data(), nullptr, nullptr, nullptr, nullptr))) {
    Msg("error");
    return 0;
  }
  IDirect3DRMFaceArray* array = nullptr;
  if (FAILED(b->GetFaces(&array)) || !array) return 0;
  out->faces.resize(array->GetSize());
  for (DWORD f = 0; f < array->GetSize(); ++f) {
    FileFace& face = out->faces[f];
    array->GetElement(f, &face.face);
    const int n = face.face ? face.face->GetVertexCount() : 0;
    face.corners.resize(static_cast<size_t>(std::max(n, 0)));
    for (int k = 0; k < n; ++k) face.corners[k] = static_cast<uint32_t>(face.face->GetVertexIndex(k));
  }
  array->Release();
  return 1;
}

int Read3ds(const char* path, FileMesh* out) {
  studio.bin3ds = std::fopen(path, "rb");
  if (!studio.bin3ds) {
    Msg("ERROR: unable to open file");
    return -1;
  }
  // A file that does not start with the main chunk is no 3DS file, rather than an empty one.
  unsigned char magic[2] = {0, 0};
  const bool is_3ds = std::fread(magic, 1, 2, studio.bin3ds) == 2 && magic[0] == 0x4D && magic[1] == 0x4D;
  studio.Reset();
  studio.object_offset = 0;
  if (is_3ds) studio.ReadPrimaryChunk();
  std::fclose(studio.bin3ds);
  studio.bin3ds = nullptr;
  if (!is_3ds || studio.damaged) {
    studio.Reset();
    return 0;
  }
  // A face naming a vertex the file does not have is reported (each kind once per file)
  // and left out.
  bool told[3] = {false, false, false};
  static const char* const kMissing[3] = {"studio.facesl[i].a > studio.vertex_count",
                                          "studio.facesl[i].b > studio.vertex_count",
                                          "studio.facesl[i].c > studio.vertex_count"};
  out->vertices = std::move(studio.verts);
  out->vertices.resize(std::min<size_t>(out->vertices.size(), studio.vertex_count));
  const size_t vertices = out->vertices.size();
  out->faces.reserve(studio.face_count);
  for (unsigned i = 0; i < studio.face_count && i < studio.facesl.size(); ++i) {
    const sfaces& s = studio.facesl[i];
    const uint32_t corners[3] = {s.a, s.b, s.c};
    bool whole = true;
    for (int k = 0; k < 3; ++k) {
      if (corners[k] < vertices) continue;
      whole = false;
      if (!told[k]) Msg(kMissing[k]);
      told[k] = true;
    }
    if (whole) out->faces.push_back({{corners[0], corners[1], corners[2]}, nullptr});
  }
  studio.Reset();
  return 1;
}

// The vertices become points. A vertex is passed over when it equals one of the first
// num_points entries of the vertex array as it stands then (an entry that became a point
// was lifted by kLoadDepth), so the entries compared are kept in a table of positions.
void MakePoints(Polygoni& m, std::vector<D3DVECTOR>* lifted) {
  std::vector<D3DVECTOR>& v = *lifted;
  std::unordered_map<PositionKey, int, PositionHash> window;
  window.reserve(v.size());
  size_t in_window = 0;
  auto enter = [&](const D3DVECTOR& p, int delta) {
    if (HasNaN(p)) return;
    const PositionKey key = KeyOf(p);
    if ((window[key] += delta) == 0) window.erase(key);
  };
  for (size_t i = 0; i < v.size(); ++i) {
    while (in_window < static_cast<size_t>(m.num_points) && in_window < v.size()) enter(v[in_window++], +1);
    if (!HasNaN(v[i]) && window.count(KeyOf(v[i]))) continue;
    m.AllocPoint(+1);
    if (i < in_window) enter(v[i], -1);
    v[i].z += kLoadDepth;
    if (i < in_window) enter(v[i], +1);
    PointStuff& p = m.pointdata[m.num_points - 1];
    p.point = v[i];
    p.vis = p.active = p.selected = true;
    if (!m.point_init) m.InitPoint();
    m.MakePoint(&p.point);
  }
}

// A vertex's texture coordinates in pixels of the loaded texture, as the face records
// keep them (an .x file's; a 3DS file carries none).
TexCoord TexturePixels(IDirect3DRMMeshBuilder* builder, uint32_t vertex) {
  D3DVALUE u = 0, v = 0;
  if (!builder || FAILED(builder->GetTextureCoordinates(vertex, &u, &v))) return {};
  // A file may give coordinates far outside the picture; they are held at what the record
  // can store rather than converted out of range.
  const auto pixels = [](double t, int size) {
    const double p = t * size;
    if (!std::isfinite(p)) return int32_t{0};
    return static_cast<int32_t>(std::clamp(p, double{INT32_MIN}, double{INT32_MAX}));
  };
  return {pixels(u, mesh_texture.tswidth), pixels(1.0 - double{v}, mesh_texture.tsheight)};
}

// Each face becomes a fan of triangles from its first corner; edges and diagonals become
// wires, shared where they join the same two points.
void MakeFaces(Polygoni& m, const FileMesh& file, int first_point) {
  std::unordered_map<PositionKey, int, PositionHash> point_at;
  point_at.reserve(static_cast<size_t>(m.num_points - first_point));
  for (int i = first_point; i < m.num_points; ++i)
    if (!HasNaN(m.pointdata[i].point)) point_at[KeyOf(m.pointdata[i].point)] = i;
  // The faces join only the points just made, so every wire between them is made here, one
  // per pair: a table of them answers each lookup at once, where a point's wire list would
  // be scanned per triangle (a fan of n triangles around one point cost n squared).
  std::unordered_map<uint64_t, int> wire_of;
  const auto key = [](int a, int b) {
    return (uint64_t{static_cast<uint32_t>(std::min(a, b))} << 32) | static_cast<uint32_t>(std::max(a, b));
  };
  const auto joining = [&](int a, int b) {
    const auto it = wire_of.find(key(a, b));
    return it == wire_of.end() ? -1 : it->second;
  };
  const auto make_wire = [&](int a, int b) { return wire_of[key(a, b)] = NewWire(m, a, b); };
  for (const FileFace& face : file.faces) {
    int v0 = -1, prev = -1;
    for (size_t k = 0; k < face.corners.size(); ++k) {
      D3DVECTOR at = file.vertices[face.corners[k]];
      at.z += kLoadDepth;
      auto found = HasNaN(at) ? point_at.end() : point_at.find(KeyOf(at));
      if (found == point_at.end()) break;
      const int p = found->second;
      int slots[3] = {-1, -1, -1};
      if (k >= 1) {
        slots[0] = joining(prev, p);
        if (slots[0] < 0 && p != v0 && p != prev) slots[0] = make_wire(prev, p);
      }
      if (k >= 2) {
        slots[2] = joining(v0, prev);
        slots[1] = joining(v0, p);
        if (slots[1] < 0 && p != v0 && p != prev) slots[1] = make_wire(v0, p);
        if (slots[0] >= 0 && slots[1] >= 0 && slots[2] >= 0) {
          m.AllocFace(+1);
          FaceStuff& made = m.facedata[m.num_faces - 1];
          if (made.face) made.face->Release();
          made.face = face.face;
          if (made.face) made.face->AddRef();
          const int corners[3] = {prev, p, v0};
          const uint32_t vertices[3] = {face.corners[k - 1], face.corners[k], face.corners[0]};
          for (int c = 0; c < 3; ++c) {
            made.points[c] = m.pointdata[corners[c]].id;
            made.sides[c] = m.wiredata[slots[c]].id;
            m.wiredata[slots[c]].face_sides += 1;
            made.texactive[c] = false;
            made.tex[c] = TexturePixels(file.builder, vertices[c]);
          }
          made.added = made.backface = false;
          made.normal = Normalize(&m.pointdata[p].point, &m.pointdata[prev].point, &m.pointdata[v0].point);
        }
      }
      if (k == 0) v0 = p;
      prev = p;
    }
  }
}


// The rest of Open once its dialog has run: the chosen file (none when the dialog was
// cancelled or failed) is read or refused with a message, and the cursor goes back ahead
// of the front view. Unless a file was read the document keeps its name (the dialog wrote
// into it), so a later Save cannot write over a file that was refused.
void ReadChosen(Polygoni& m, OPENFILENAMEA* chosen, HWND hwnd, const std::string& name_before) {
  const int read = chosen ? m.ReadFile(*chosen, chosen->lpstrFileTitle, hwnd, 1, 1, 1, true) : -1;
  if (read == 0) Msg("Could not open File");
  if (read != 1) std::snprintf(m.sztitlename, kPathLength, "%s", name_before.c_str());
  if (m.world_frame && m.scene) m.world_frame->SetPosition(m.scene, 0, 0, 30);
}

// Fills the record as the open dialog does when `path` is chosen: the full path, the name
// and the offsets of the name and its extension. A relative path is taken from the working
// directory, as the dialog would show it. False when the path does not fit.
bool NameInRecord(const char* path, OPENFILENAMEA* ofn) {
  std::error_code error;
  std::string full = std::filesystem::absolute(path, error).lexically_normal().string();
  if (error) full = path;
  if (full.size() + 1 > ofn->nMaxFile || full.size() >= 0xFFFF) return false;
  const size_t slash = full.rfind('/');
  const size_t offset = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = full.rfind('.');
  std::memcpy(ofn->lpstrFile, full.c_str(), full.size() + 1);
  ofn->nFileOffset = static_cast<WORD>(offset);
  ofn->nFileExtension = dot == std::string::npos || dot < offset ? 0 : static_cast<WORD>(dot + 1);
  std::snprintf(ofn->lpstrFileTitle, ofn->nMaxFileTitle, "%s", full.c_str() + offset);
  return true;
}

}  // namespace

bool Polygoni::Untitled() const {
  return std::strcmp(sztitlename, "untitled") == 0 || std::strcmp(sztitlename, kUntitled) == 0;
}

int Polygoni::New(HWND hwnd) {
  if (changed) {
    const int answer = AskToSave(*this, hwnd);
    if (answer == IDCANCEL) return 0;
    if (answer == IDYES) {
      OPENFILENAMEA ofn;
      FillRecord(*this, hwnd, true, &ofn);
      // An untitled document needs a name before it can be saved.
      if (Save(&ofn, Untitled()) == 0) return 0;
    }
  }
  pointdata.ForEach(num_points, [](PointStuff& p) { p.selected = p.active = true; });
  delete_points = true;
  DeleteSelected(true);
  delete_points = false;
  SendMessageA(main_window, WM_COMMAND, kCenterMesh, 0);
  if (world_frame && world_frame2) world_frame->SetPosition(world_frame2, 0, 0, 0);
  RemovePolygons();
  changed = false;
  // A new document has no file yet, so Save asks for a name instead of writing over the
  // file opened before.
  std::snprintf(sztitlename, kPathLength, "%s", kUntitled);
  filepath[0] = '\0';
  SetWindowTextA(vp_data.hwndmain, "Facetry");
  return 0;
}

int Polygoni::Open(HWND hwnd, bool saveas, bool save) {
  int answer = IDNO;
  if (!save && changed) {
    answer = AskToSave(*this, hwnd);
    if (answer == IDCANCEL) return 0;
  }
  OPENFILENAMEA ofn;
  FillRecord(*this, hwnd, false, &ofn);
  if (answer == IDYES || save || saveas) {
    if (Save(&ofn, saveas || (answer == IDYES && Untitled())) == 0) return 0;
  }
  if (save) return 0;

  const std::string name_before = sztitlename;
  const BOOL chosen = GetOpenFileNameA(&ofn);
  if (const char* name = DialogErrorName(CommDlgExtendedError())) Msg(name);
  ReadChosen(*this, chosen ? &ofn : nullptr, hwnd, name_before);
  return 1;
}

int Polygoni::OpenNamed(HWND hwnd, const char* path) {
  OPENFILENAMEA ofn;
  FillRecord(*this, hwnd, false, &ofn);
  const std::string name_before = sztitlename;
  const bool named = NameInRecord(path, &ofn);
  if (!named) Msg("%s", DialogErrorName(FNERR_BUFFERTOOSMALL));
  ReadChosen(*this, named ? &ofn : nullptr, hwnd, name_before);
  return 1;
}

int Polygoni::Save(OPENFILENAMEA* ofn, bool saveasbut) {
  char before[kPathLength], path_before[kPathLength];
  std::memcpy(before, sztitlename, kPathLength);
  std::memcpy(path_before, filepath, kPathLength);
  if (saveasbut && !GetSaveFileNameA(ofn)) return 0;
  // Without a name there is nothing to write to.
  if (!saveasbut && Untitled()) return 0;
  std::snprintf(filepath, kPathLength, "%s", ofn->lpstrFile);
  outcome = true;
  if (saveasbut && Exists(ofn->lpstrFile)) SendMessageA(main_window, WM_COMMAND, kReplaceFile, 0);
  if (!outcome) {
    // The file stays; so does the name the document had.
    std::memcpy(sztitlename, before, kPathLength);
    std::memcpy(filepath, path_before, kPathLength);
    return 0;
  }

  const char* path = saveasbut ? ofn->lpstrFile : sztitlename;
  const char* dot = std::strrchr(path, '.');
  const char* extension = saveasbut ? path + ofn->nFileExtension : (dot ? dot + 1 : "");
  if (saveasbut && ofn->nFileExtension == 0) extension = "";
  std::snprintf(ext, sizeof ext, "%s", extension);
  bool written = true;
  {
    ModelFrameBaked baked(*this);
    if (extension[0] == 'X' || extension[0] == 'x') {
      if (path != sztitlename) std::snprintf(sztitlename, kPathLength, "%s", path);
      written = SaveX(*this, sztitlename);
    } else if (saveasbut || changed) {
      written = Save3ds(*this, path);
    }
  }
  UpdateMesh();
  if (!written) {
    std::memcpy(sztitlename, before, kPathLength);
    std::memcpy(filepath, path_before, kPathLength);
    return 0;
  }
  changed = false;
  UpdateText();
  return 1;
}

int Polygoni::ReadFile(OPENFILENAMEA ofn, char* filename, HWND /*hwnd*/, float /*sx*/, float /*sy*/, float /*sz*/,
                       bool /*del*/) {
  SendMessageA(main_window, WM_COMMAND, kSolidWithPoints, 0);
  const char* path = ofn.lpstrFile;
  const bool is_x = ofn.nFileExtension > 0 && (path[ofn.nFileExtension] == 'X' || path[ofn.nFileExtension] == 'x');
  const std::string directory(path, ofn.nFileOffset);
  (void)filename;

  FileMesh file;
  const int read = is_x ? ReadX(path, directory, &file) : Read3ds(path, &file);
  if (read != 1) return read;
  if (ctitle) std::snprintf(filepath, kPathLength, "%s", path);

  SendMessageA(main_window, WM_COMMAND, kEditMode, 0);
  pointdata.ForEach(num_points, [](PointStuff& p) { p.selected = p.active = true; });
  if (!merge) {
    delete_points = true;
    DeleteSelected(true);
    delete_points = false;
  } else {
    snip_mode[3] = cut;
    Cut(3, false);
    readytopaste[3] = true;
  }
  pointdata.ForEach(num_points, [](PointStuff& p) { p.selected = false; });

  const int first_point = num_points;
  std::vector<D3DVECTOR> lifted = file.vertices;
  MakePoints(*this, &lifted);
  ShowStatus("Loading File... Please Wait");
  if (!wire_init) InitWire();
  MakeFaces(*this, file, first_point);

  // File coordinates are model-frame coordinates.
  const math3d::Mat4 to_scene =
      scene && world_frame2 ? CoordinatesBetween(*world_frame2, *scene) : math3d::Identity();
  for (int i = first_point; i < num_points; ++i) {
    PointStuff& p = pointdata[i];
    const math3d::Vec3 at{p.point.x, p.point.y, p.point.z - kLoadDepth};
    p.point = math3d::ToD3DVector(math3d::TransformPoint(at, to_scene));
    if (p.frames && FAILED(p.frames->SetPosition(scene, p.point.x, p.point.y, p.point.z))) generic_error();
  }

  pointdata.ForEach(num_points, [this](PointStuff& p) {
    if (p.active && p.frames && FAILED(p.frames->SetColorRGB(1.0f, 1.0f, 1.0f))) generic_error();
    p.selected = true;
  });
  // Lays every wire from its ends; no press, so no dead zone.
  const bool latch = movelatch;
  movelatch = true;
  MoveSelectedPoints();
  movelatch = latch;

  if (merge) {
    Paste(false, true, 3, false);
    for (int i = 0; i < num_points; ++i) {
      pointdata[i].active = !pointdata[i].active;
      ShowPointState(i);
    }
  }
  pointdata.ForEach(num_points, [](PointStuff& p) { p.selected = false; });
  // A merged file or shape is a change of the document, which closing must not lose.
  changed = merge;

  ReDrawMesh();
  UpdateMesh();
  SendTransformCommand();
  for (int i = 0; i < num_points;) {
    if (pointdata[i].num_connected == 0)
      RemovePoint(i);
    else
      ++i;
  }
  ShowStatus("Ready");
  UpdateText();
  return 1;
}
