// The editor's interaction state shared by the model, the views and the main window, and
// the render and device state of the shell.
#pragma once

#include "platform/handles.h"
#include "platform/rm/types.h"

class IDirect3DRM;
class IDirect3DRMDevice;
class IDirect3DRMFrame;
class IDirect3DRMLight;
class IDirect3DRMMesh;
class IDirect3DRMTexture;
class IDirect3DRMViewport;
class IDirectDrawClipper;

// What a left click in a view does.
enum mode_state { create, edit, annimate, texturemap };
// What edit mode works on.
enum edit_state { no, points, faces, sides, facnom, vernom };
// The render command in force: 272 + rmode.
enum render_state { PW, PWM, M, WFP, WF, BF };
// What a drag of selected points or of the camera does.
enum modify_mode { translate, rotate, scale, uniform_scale, translatecam, rotatecam, none };

extern mode_state the_mode;   // create at start
extern edit_state edit_mode;  // no at start
extern render_state rmode;    // PW at start
extern modify_mode move_m;    // translate at start
extern modify_mode prem_m;    // move_m before a camera command
extern bool ctrl;             // the Ctrl key is down
// Container index of the point the hover test captured last; polygon creation reads it.
extern int selected_index;
// The current left press started a selection box away from any hovered point.
extern bool inspace;
// The pointer is over the texture window.
extern bool intex;

// The retained-mode root object; made at start-up, released at shutdown.
extern IDirect3DRM* lpD3DRM;

// The loaded texture as the face display applies it: the retained-mode texture and the
// scaled image's size in pixels, the unit of the face corners' texture coordinates (0
// while no image is loaded). Whether a texture is loaded and the mesh colour are
// `texture.texloaded` and `texture.color`.
struct MeshTexture {
  IDirect3DRMTexture* tex = nullptr;  // not referenced by this record
  int tswidth = 0, tsheight = 0;
};
extern MeshTexture mesh_texture;

// The main window, which carries out the render commands (272 + rmode) that the model
// re-sends after an edit; empty until the window exists.
extern HWND main_window;
// The one clipper, bound to the front view window.
extern IDirectDrawClipper* lpDDClipper;

inline constexpr int kMaxDrivers = 5;
inline constexpr int kDriverNameLength = 50;

// The device, its viewports and cameras, and the render state. Here view1..view3 are the
// viewports and camera1..camera3 their camera frames; the model names them the other way
// round.
struct _myglobs {
  IDirect3DRMDevice* dev;
  IDirect3DRMViewport* view1;
  IDirect3DRMViewport* view2;
  IDirect3DRMViewport* view3;
  IDirect3DRMViewport* devider1;
  IDirect3DRMViewport* devider2;
  IDirect3DRMFrame* scene;
  IDirect3DRMFrame* camera1;
  IDirect3DRMFrame* camera2;
  IDirect3DRMFrame* camera3;
  IDirect3DRMFrame* deviderf1;
  IDirect3DRMFrame* deviderf2;
  IDirect3DRMFrame* mainframe;
  IDirect3DRMLight* light3;
  IDirect3DRMFrame* frameframe;
  IDirect3DRMMesh* framemesh;
  GUID DriverGUID[kMaxDrivers];
  char DriverName[kMaxDrivers][kDriverNameLength];
  int NumDrivers;
  int CurrDriver;
  D3DRMRENDERQUALITY RenderQuality;
  DWORD TextureQuality;
  int bDithering;
  int bAntialiasing;
  int bQuit;
  int bInitialized;
  int bMinimized;
  int bSingleStepMode;
  int bDrawAFrame;
  int bNoTextures;
  int bConstRenderQuality;
  int BPP;
  int mouse_buttons;
  int mouse_x, mouse_y;
  int premouse_x, premouse_y;
  float pmouse_x, pmouse_y;
  int curIde;
  // Kept for the record; nothing reads them.
  void* wndinst;
  HWND dc;
  HWND frontc, sidec, topc, mainc;
  void* hAccel;
  DWORD bkgndcolor;
  DWORD forgndcolor;
};
extern _myglobs myglobs;

// Start-up finished (later also set by every handled resize).
extern bool initdone;
// The view windows exist.
extern bool viewportcreated;
// The next size message is the echo of the program's own move of the front view window.
extern bool awaitingfeedback;
// The toolbar, as start-up keeps it.
extern HWND hwndToolBar;
