// The mesh under edit: its points, wires and faces, their display objects, the polygon
// being drawn, the scene-graph handles it shares with the views, and the clipboard.
//
// One class with members from many subsystems; each member is defined in the file of the
// subsystem it serves (element_storage.cpp, element_display.cpp, element_removal.cpp, ...).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/globals.h"
#include "model/element_storage.h"
#include "platform/handles.h"
#include "platform/rm/d3drm.h"

inline constexpr int kPathLength = 600;
inline constexpr int kMaxPolygonCorners = 10;
// The polygon table has one entry more than the corner limit: a polygon that reached the
// limit can only be cancelled, and cancelling counts its rubber band as one more edge.
inline constexpr int kPolygonTable = kMaxPolygonCorners + 1;
inline constexpr int kClipboards = 4;

// What last filled a clipboard buffer.
enum snip_m { cut, copy, paste };
// The side of the cursor a view camera looks from (views/viewport_data.h).
enum snap_view : int;
struct OPENFILENAMEA;

// One edge of the polygon being drawn: its start corner and the wire to the next corner.
struct PCorder {
  IdCell first = nullptr;
  IdCell wire = nullptr;
};

// The polygon table of the polygon being drawn, and the rubber band started by the
// previous click.
extern PCorder sub_div[kPolygonTable];
extern int time_before;

// Unit normal of the triangle p2, p1, p3: ((p1 - p2) x (p3 - p2)) / |(p1 - p2) x (p3 - p2)|.
// A face's normal is Normalize(P1, P0, P2). A degenerate triangle gives (0, 0, 0).
_D3DVECTOR Normalize(_D3DVECTOR* p1, _D3DVECTOR* p2, _D3DVECTOR* p3);

// Writes `text` into part 0 of the status bar, as the long operations do before and after.
void ShowStatus(const char* text);

// How the texture view maps a position to pixels of its map:
// ((x + |min_x|) * pixperw, (y + |min_y|) * pixperw).
struct TexturePlacement {
  float min_x = 0, min_y = 0;
  int pixperw = 20;
};

// What the model asks of the views and the texture view, which sit above it: which view is
// active, where the mouse pointer goes, whether a bitmap is shown. They register these when
// they are made; with nothing registered (tests, tools) view 1 is active, the pointer stays
// where it is and no bitmap is shown.
struct ModelLinks {
  std::function<int()> active_view;  // 1 front, 2 side, 3 top
  // Warps the pointer onto a position given in the active camera's frame.
  std::function<void(_D3DVECTOR* position)> move_pointer;
  // True while the texture view shows a bitmap; then fills in its placement.
  std::function<bool(TexturePlacement* placement)> texture_shown;
};
extern ModelLinks model_links;

class Polygoni {
 public:
  Polygoni() = default;
  ~Polygoni();
  Polygoni(const Polygoni&) = delete;
  Polygoni& operator=(const Polygoni&) = delete;

  // --- Life cycle, element display objects and reports (polygoni.cpp, element_display.cpp)
  void InitPolygoni();
  void InitPoint();
  void InitWire();
  void SetPointData(int connected1, int thepoint, _D3DVECTOR* point, bool select);
  void MakePoint(_D3DVECTOR* change);
  void MakeWire(_D3DVECTOR* change);
  void AllocConnectedWire(int thepoint);
  _D3DVECTOR GetCenter();
  // Reports the generic scene error and sets quit, which shuts the program down.
  void generic_error();

  // --- Element storage: growing and shrinking the chains (element_storage.cpp)
  void AllocWire(int off);
  void AllocPoint(int off);
  void AllocFace(int off);
  void AllocWireGroup(int off);
  void AllocPointGroup(int off);
  void AllocFaceGroup(int off);

  // --- Element removal and cancelling a polygon (element_removal.cpp)
  void RemovePoint(int index);
  void RemoveWire(int index);
  void RemoveFace(int index);
  void RemoveConnectedWire(int pointindex, int connect);
  void Terminate();
  void DeleteSelected(bool store);

  // --- Consistency of the cross-references (invariants.cpp); a diagnostic of our own.
  std::optional<std::string> CheckInvariants();

  // --- Polygon creation (polygon_creation.cpp)
  int CreateWire(_D3DVECTOR* override);
  void WireCallBack(int* index);
  void MoveToEnd(int* index);
  bool AddFace(int index1, int index2, int index3, int p_index1, int p_index2, int p_index3);
  bool QueryWire(int w);

  // --- Mesh rebuild and display (mesh_display.cpp)
  void DrawPolygons(bool textu, bool back, bool wireframe, bool init);
  // Rewrites the face meshes' vertices from the points; `moved_only` leaves the faces with no
  // selected corner, for a drag of some of the points.
  void UpdateMesh(bool moved_only = false);
  void ReDrawMesh();
  void ChangeVisible(bool show_points, bool show_wires);
  void UpdateActive();
  // UpdateActive, also telling whether some point has no wire left: the closing click
  // needs both, and one pass over the points serves.
  bool UpdateActiveFindingOrphans();
  void ValidateMesh();
  void RemovePolygons();

  // --- Face orientation (face_orientation.cpp)
  bool IsItBackFace(int f_index);
  // Camera frame of the active view: view1, view2 or view3 (view1 for any other number).
  IDirect3DRMFrame* ActiveCamera();
  void ChangeFace(int f_index, bool face);
  void ChangeSelectedFace();
  void ChangeLastFace();

  // --- Selection, transforms, undo, clipboard, subdivision
  void TestForSelected();
  int MoveSelectedPoints();
  _D3DVECTOR Rotate(_D3DVECTOR center, _D3DVECTOR before, _D3DVECTOR ammount);
  void StoreUndo();
  void Revert();
  void Cut(int index, bool undo);
  int Paste(bool center, bool offset, int index, bool undo);
  int SubDivide(int nsides);

  // --- Cameras, device and documents
  // Puts the camera *tmp on the side of the cursor named by `plane`; `snapstate` is unused.
  void SnapViews(IDirect3DRMFrame** tmp, snap_view plane, snap_view* snapstate);
  void MoveCamera(float x, float y, float z, modify_mode movetype);
  _D3DVECTOR GetViewCenter();
  void NewDevice(int width, int height);
  int New(HWND hwnd);
  int Open(HWND hwnd, bool saveas, bool save);
  // Opens `path` as Open does once its dialog has chosen that file (facetry FILE).
  int OpenNamed(HWND hwnd, const char* path);
  int Save(OPENFILENAMEA* ofn, bool saveasbut);
  // `filename` is the name without its directory; sx, sy, sz and del are not used.
  int ReadFile(OPENFILENAMEA ofn, char* filename, HWND hwnd, float sx, float sy, float sz, bool del);
  void UpdateText();
  // The document has no file yet (its name is "untitled" in either case).
  bool Untitled() const;

  // --- Fields
  IDirect3DRMMaterial* mat = nullptr;
  IDirect3DRMMesh* wiremesh = nullptr;
  WireKeeper wiredata;
  PointKeeper pointdata;
  FaceKeeper facedata;
  char sztitlename[kPathLength] = {};
  char filepath[kPathLength] = {};
  char shapepath[kPathLength] = {};
  char programpath[kPathLength] = {};
  char ext[5] = {};
  IDirect3DRMMeshBuilder* pointbuilder = nullptr;
  IDirect3DRMMeshBuilder* meshbuilder = nullptr;
  // The meshes the two templates make, built once: every point shows the point mesh, every
  // wire a copy of the wire mesh.
  IDirect3DRMMesh* point_prototype = nullptr;
  IDirect3DRMMesh* wire_prototype = nullptr;
  // The layer offers no wrap interface; the handle stays empty and is released if set.
  IDirect3DRMObject* wrap = nullptr;
  _D3DVECTOR prelength{1, 1, 1};
  _D3DVECTOR center_mov{0, 0, 0};
  // The active side or top camera's place in the scene when a whole-model move starts.
  _D3DVECTOR viewpos{0, 0, 0};
  _D3DVECTOR stickpos{0, 0, 0};
  _D3DVECTOR totrot{0, 0, 0};
  IDirect3DRMMesh* scenemesh = nullptr;
  IDirect3DRMMesh* scenewiremesh = nullptr;
  IDirect3DRMMesh* scenewiremesh2 = nullptr;
  IDirect3DRMMesh* sphere32 = nullptr;  // the origin marker shown by the model frame
  IDirect3DRMMesh* dummymesh = nullptr;
  IDirect3DRMMesh* scenemeshb = nullptr;
  IDirect3DRMMeshBuilder* pointmesh = nullptr;
  IDirect3DRMMeshBuilder* point_mesh = nullptr;
  IDirect3DRMFrame* sceneframe = nullptr;
  IDirect3DRMFrame* createpointmesh = nullptr;
  IDirect3DRMFrame* setwireframes = nullptr;
  IDirect3DRMFrame* posfirstframe = nullptr;
  IDirect3DRMFrame* wireframe = nullptr;
  IDirect3DRMFrame* testframe = nullptr;
  IDirect3DRMFrame* scene = nullptr;
  IDirect3DRMFrame* world_frame = nullptr;
  IDirect3DRMFrame* world_frame2 = nullptr;
  IDirect3DRMFrame* firstframe = nullptr;
  IDirect3DRMFrame* view1 = nullptr;
  IDirect3DRMFrame* view2 = nullptr;
  IDirect3DRMFrame* view3 = nullptr;
  IDirect3DRMFrame* deviderf1 = nullptr;
  IDirect3DRMFrame* deviderf2 = nullptr;
  IDirect3DRMFrame* dummy = nullptr;
  IDirect3DRMFrame* dummy2 = nullptr;
  IDirect3DRMFrame* dummy3 = nullptr;
  IDirect3DRMViewport* camera1 = nullptr;
  IDirect3DRMViewport* camera2 = nullptr;
  IDirect3DRMViewport* camera3 = nullptr;
  IDirect3DRMViewport* devider1 = nullptr;
  IDirect3DRMViewport* devider2 = nullptr;
  IDirect3DRMDevice* dev = nullptr;
  D3DRMFRAMECONSTRAINT constraint = D3DRMCONSTRAIN_Z;
  int group = 0, groupw = 0, groupw2 = 0;
  int selectedpoint = -2;
  int createindex = -1;
  int num_wireframes = 0, num_points = 0, num_faces = 0;
  int time = 0;
  int sides = 3;
  int num_created = 0;
  int first_p_index = -2;
  int shape = 0;
  int viewback = 5000;
  float length = 0;
  bool quit = false;
  bool lbuttonactive = false;
  bool wirehasbeenmade = false;
  bool makebox = false, move_selected = false, movethecamera = false, shift = false, movelatch = false,
       translatecam = false, rotatecam = false, first = false, look = true;
  bool delete_points = false, cancel = false;
  bool point_init = false, wire_init = false;
  bool merge = false, ctitle = true, outcome = false, changed = false;
  bool pointsvis = true, wirevis = true, meshvis = false;
  bool backp = false;
  bool orthocreate = false;
  bool points = false;
  bool mundo = false;
  int num_cutpoints[kClipboards] = {}, num_cutfaces[kClipboards] = {}, num_cutwireframes[kClipboards] = {};
  WireStuff* wirebuffer[kClipboards] = {};
  PointStuff* pointbuffer[kClipboards] = {};
  FaceStuff* facebuffer[kClipboards] = {};
  bool readytopaste[kClipboards] = {};
  snip_m snip_mode[kClipboards] = {};

 private:
  // Frees what the records of one group own: identity cells, connected-wire arrays and
  // the retained-mode objects of the slots.
  void FreeRecords(PointGroup* g);
  void FreeRecords(WireGroup* g);
  void FreeRecords(FaceGroup* g);
  // Empties clipboard buffer `index`, returning its identity cells.
  void FreeClipboard(int index);
  // Removes a retained-mode frame from the scene and drops our reference to it.
  static void DiscardFrame(IDirect3DRMFrame** frame);
};

// The one mesh model of the editor.
extern Polygoni polygoner;
