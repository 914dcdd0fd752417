// The model's life cycle: start state, tear-down, the scene error report, the selection's
// centre.
#include "model/polygoni.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/errors.h"

Polygoni polygoner;
PCorder sub_div[kPolygonTable];
int time_before = 0;

namespace {

template <class T>
void ReleaseHandle(T** handle) {
  if (*handle) (*handle)->Release();
  *handle = nullptr;
}

// The directory of the running program with a trailing '/', or "" when it is unknown.
// A directory too long for the buffer is left out rather than cut, which would name
// another directory.
void ProgramDirectory(char (&out)[kPathLength]) {
  out[0] = '\0';
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return;
  exe[n] = '\0';
  char* slash = std::strrchr(exe, '/');
  if (!slash) return;
  const size_t length = static_cast<size_t>(slash - exe) + 1;
  if (length >= kPathLength) return;
  std::memcpy(out, exe, length);
  out[length] = '\0';
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The directory that holds Shapes/, with a trailing '/': the program's own in a build
// tree, else the installed data directory beside its bin/ (PREFIX/share/facetry/). When
// neither has it, the program's directory, so a missing library names the usual place.
void ShapeDirectory(char (&out)[kPathLength]) {
  ProgramDirectory(out);
  if (!out[0] || IsDirectory(std::string(out) + "Shapes")) return;
  std::string installed = out;
  installed.erase(installed.size() - 1);  // the trailing '/'
  const size_t slash = installed.rfind('/');
  if (slash == std::string::npos) return;
  installed = installed.substr(0, slash + 1) + "share/facetry/";
  if (installed.size() < kPathLength && IsDirectory(installed + "Shapes"))
    std::snprintf(out, kPathLength, "%s", installed.c_str());
}

}  // namespace

void Polygoni::InitPolygoni() {
  std::snprintf(sztitlename, kPathLength, "%s", "UNTITLED");
  ShapeDirectory(shapepath);

  time = 0;
  sides = 3;
  createindex = -1;
  first_p_index = -2;
  selectedpoint = -2;
  viewback = 5000;
  prelength = {1, 1, 1};
  totrot = {0, 0, 0};
  quit = lbuttonactive = wirehasbeenmade = false;
  makebox = move_selected = movethecamera = shift = movelatch = translatecam = rotatecam = first = false;
  look = true;
  merge = outcome = changed = false;
  ctitle = true;
  pointsvis = wirevis = true;
  meshvis = false;
  orthocreate = points = mundo = false;
  for (int slot = 0; slot < 2; ++slot) {
    wirebuffer[slot] = nullptr;
    pointbuffer[slot] = nullptr;
    facebuffer[slot] = nullptr;
    readytopaste[slot] = false;
  }
  for (PCorder& entry : sub_div) entry.wire = nullptr;

  // The first group of each chain lives as long as the model; a second call keeps it.
  if (!pointdata.first_ptr) {
    num_points = num_wireframes = num_faces = 0;
    wiredata.AppendGroup();
    pointdata.AppendGroup();
    facedata.AppendGroup();
    wiredata.num_groups = pointdata.num_groups = facedata.num_groups = 1;
    wiredata.inlastgroup = pointdata.inlastgroup = facedata.inlastgroup = 0;
  }
  // The face display starts as two empty outlines on the scene.
  DrawPolygons(false, false, true, true);
}

Polygoni::~Polygoni() {
  for (int index = 0; index < kClipboards; ++index) FreeClipboard(index);
  ReleaseHandle(&mat);
  ReleaseHandle(&wiremesh);
  ReleaseHandle(&pointbuilder);
  ReleaseHandle(&meshbuilder);
  ReleaseHandle(&point_prototype);
  ReleaseHandle(&wire_prototype);
  ReleaseHandle(&wrap);
  ReleaseHandle(&scenemesh);
  ReleaseHandle(&scenewiremesh);
  ReleaseHandle(&scenewiremesh2);
  ReleaseHandle(&sphere32);
  ReleaseHandle(&dummymesh);
  ReleaseHandle(&scenemeshb);
  ReleaseHandle(&sceneframe);
  ReleaseHandle(&pointmesh);
  ReleaseHandle(&createpointmesh);
  ReleaseHandle(&scene);
  ReleaseHandle(&setwireframes);
  ReleaseHandle(&firstframe);
  ReleaseHandle(&posfirstframe);
  ReleaseHandle(&view1);
  ReleaseHandle(&view2);
  ReleaseHandle(&view3);
  ReleaseHandle(&deviderf1);
  ReleaseHandle(&deviderf2);
  ReleaseHandle(&dummy);
  ReleaseHandle(&dummy2);
  ReleaseHandle(&dummy3);
  ReleaseHandle(&camera1);
  ReleaseHandle(&camera2);
  ReleaseHandle(&camera3);
  ReleaseHandle(&devider1);
  ReleaseHandle(&devider2);
  ReleaseHandle(&dev);
  ReleaseHandle(&wireframe);
  ReleaseHandle(&testframe);
  ReleaseHandle(&point_mesh);

  // Every slot, live or spare, owns its identity cell and its display objects. The scene
  // is gone or going, so frames are only released, not taken out of it one by one.
  for (PointGroup* g = pointdata.first_ptr; g; g = g->next_ptr) {
    for (PointStuff& p : g->data) {
      ReleaseHandle(&p.meshes);
      ReleaseHandle(&p.frames);
      delete[] p.connectedwire;
      p.connectedwire = nullptr;
      p.num_connected = p.connected_capacity = 0;
      PointCells().Give(p.id);
      p.id = nullptr;
    }
  }
  for (WireGroup* g = wiredata.first_ptr; g; g = g->next_ptr) {
    for (WireStuff& w : g->data) {
      ReleaseHandle(&w.wiremeshes);
      ReleaseHandle(&w.wireframes);
      WireCells().Give(w.id);
      w.id = nullptr;
    }
  }
  for (FaceGroup* g = facedata.first_ptr; g; g = g->next_ptr) {
    for (FaceStuff& f : g->data) {
      ReleaseHandle(&f.face);
      FaceCells().Give(f.id);
      f.id = nullptr;
    }
  }
  wiredata.DestroyChain();
  pointdata.DestroyChain();
  facedata.DestroyChain();
}

void Polygoni::generic_error() {
  ::generic_error();
  quit = true;
}

_D3DVECTOR Polygoni::GetCenter() {
  _D3DVECTOR sum{0, 0, 0};
  int count = 0;
  for (int i = 0; i < num_points; ++i) {
    const PointStuff& p = pointdata[i];
    if (!p.selected) continue;
    sum.x += p.point.x;
    sum.y += p.point.y;
    sum.z += p.point.z;
    ++count;
  }
  // With nothing selected the centre is the origin rather than a division by zero.
  if (count == 0) return {0, 0, 0};
  return {sum.x / count, sum.y / count, sum.z / count};
}
