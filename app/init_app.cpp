// Start-up: the windows, the retained-mode object, the scene frames and cameras, the one
// device with its front viewport, and the toolbar and status bar.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/errors.h"
#include "app/globals.h"
#include "app/render_settings.h"
#include "app/shell.h"
#include "app/toolbar_status.h"
#include "model/polygoni.h"
#include "texture/texture.h"
#include "views/mouse.h"
#include "views/viewport_data.h"
#include "views/world_scene.h"

namespace {

constexpr char kAppName[] = "Facetry";
constexpr int kMainWidth = 1024;
constexpr int kMainHeight = 728;
constexpr int kTextureWindowId = 20;
constexpr float kBackPlane = 5000.0f;

struct Defaultstag {
  int bNoTextures;
  int bResizingDisabled;
  int bConstRenderQuality;
  char Name[50];
};

void OverrideDefaults(Defaultstag* defaults) {
  std::snprintf(defaults->Name, sizeof defaults->Name, "%s", "Facetry Polygon Editor");
}

// What the chosen driver is, to compare later candidates with.
bool chosen_hardware = false;
bool chosen_mono = false;

bool RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSEXA main_class;
  main_class.style = CS_HREDRAW | CS_VREDRAW;
  main_class.lpfnWndProc = WindowProc;
  main_class.hInstance = instance;
  main_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(13));
  main_class.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(12));
  main_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  main_class.lpszMenuName = "MyMenu";
  main_class.lpszClassName = kAppName;
  if (!RegisterClassExA(&main_class)) return false;

  WNDCLASSA child_class;
  child_class.lpfnWndProc = WindowProc;
  child_class.cbWndExtra = 2;
  child_class.hInstance = instance;
  child_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  child_class.lpszClassName = "ChechChild";
  return RegisterClassA(&child_class) != 0;
}

// Steps 16 to 18: a camera frame under the scene, placed and turned relative to `ref`.
bool MakeCamera(IDirect3DRMFrame** camera, IDirect3DRMFrame** mirror, D3DVECTOR position, D3DVECTOR dir,
                D3DVECTOR up, IDirect3DRMFrame* ref, bool check_orientation) {
  HRESULT rval = lpD3DRM->CreateFrame(myglobs.scene, camera);
  if (FAILED(rval)) {
    Msg("Failed to create the camera's frame.\n%s", D3DRMErrorToString(rval));
    return false;
  }
  *mirror = *camera;
  rval = (*camera)->SetPosition(ref ? ref : myglobs.scene, position.x, position.y, position.z);
  if (FAILED(rval)) {
    Msg("Failed to position the camera in the frame.\n%s", D3DRMErrorToString(rval));
    return false;
  }
  rval = (*camera)->SetOrientation(ref ? ref : myglobs.scene, dir.x, dir.y, dir.z, up.x, up.y, up.z);
  if (check_orientation && FAILED(rval)) {
    Msg("Failed to orientatate the camera in the frame.\n%s", D3DRMErrorToString(rval));
    return false;
  }
  return true;
}

void BuildBackdrop() {
  IDirect3DRMMeshBuilder* builder = polygoner.meshbuilder;
  if (!builder || FAILED(builder->CreateMesh(&myglobs.framemesh))) return generic_error();
  if (FAILED(lpD3DRM->CreateFrame(myglobs.mainframe, &myglobs.frameframe)) || !myglobs.frameframe)
    return generic_error();
  if (FAILED(myglobs.frameframe->SetPosition(myglobs.mainframe, 0, 0, 15))) return generic_error();
  myglobs.framemesh->Scale(400, 400, 1);
  if (FAILED(myglobs.frameframe->AddVisual(myglobs.framemesh))) return generic_error();
  myglobs.frameframe->SetMaterialMode(D3DRMMATERIAL_FROMFRAME);
  myglobs.frameframe->SetColorRGB(0.2f, 0.2f, 0.2f);
}

void AddAmbientLight(IDirect3DRMFrame* camera) {
  IDirect3DRMLight* light = nullptr;
  if (!camera || FAILED(lpD3DRM->CreateLightRGB(D3DRMLIGHT_AMBIENT, 0.1f, 0.1f, 0.1f, &light))) return generic_error();
  if (FAILED(camera->AddLight(light))) generic_error();
  light->Release();
}

}  // namespace

void InitGlobals() {
  lpD3DRM = nullptr;
  // The colours chosen with the window class outlive the reset; nothing else does.
  const DWORD background = myglobs.bkgndcolor, foreground = myglobs.forgndcolor;
  myglobs = {};
  myglobs.bkgndcolor = background;
  myglobs.forgndcolor = foreground;
  myglobs.RenderQuality = D3DRMRENDER_GOURAUD;
  myglobs.TextureQuality = D3DRMTEXTURE_NEAREST;
  int mouse_parameters[3] = {};
  if (SystemParametersInfoA(SPI_GETMOUSE, 0, mouse_parameters, 0))
    mouser.speed = mouse_parameters[2];
  else
    Msg("SystemParametersInfo failed");
}

DWORD BPPToDDBD(int bpp) {
  switch (bpp) {
    case 1: return DDBD_1;
    case 2: return DDBD_2;
    case 4: return DDBD_4;
    case 8: return DDBD_8;
    case 16: return DDBD_16;
    case 24: return DDBD_24;
    case 32: return DDBD_32;
    default: return 0;
  }
}

HRESULT enumDeviceFunc(GUID* guid, char* /*description*/, char* name, D3DDEVICEDESC* hardware,
                       D3DDEVICEDESC* software, void* context) {
  int* chosen = static_cast<int*>(context);
  const bool is_hardware = hardware && hardware->dcmColorModel != 0;
  const D3DDEVICEDESC* desc = is_hardware ? hardware : software;
  if (!desc || !(desc->dwDeviceRenderBitDepth & BPPToDDBD(myglobs.BPP))) return D3DENUMRET_OK;
  const int index = myglobs.NumDrivers;
  if (index < 0 || index >= kMaxDrivers) return D3DENUMRET_CANCEL;
  if (guid) myglobs.DriverGUID[index] = *guid;
  std::snprintf(myglobs.DriverName[index], kDriverNameLength, "%s", name ? name : "");
  const bool is_mono = desc->dcmColorModel == D3DCOLOR_MONO;
  // Hardware beats software; within one kind, mono replaces RGB; otherwise the first stays.
  if (*chosen == -1 || (is_hardware && !chosen_hardware) ||
      (is_hardware == chosen_hardware && is_mono && !chosen_mono)) {
    *chosen = index;
    chosen_hardware = is_hardware;
    chosen_mono = (desc->dcmColorModel & D3DCOLOR_MONO) != 0;
  }
  ++myglobs.NumDrivers;
  return myglobs.NumDrivers >= kMaxDrivers ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
}

bool EnumDevices(HWND window) {
  IDirectDraw* ddraw = nullptr;
  HRESULT rval = DirectDrawCreate(nullptr, &ddraw, nullptr);
  if (FAILED(rval)) {
    Msg("Creation of DirectDraw HEL failed.\n%s", D3DRMErrorToString(rval));
    return false;
  }
  IDirect3D* d3d = nullptr;
  rval = ddraw->QueryInterface(IID_IDirect3D, reinterpret_cast<void**>(&d3d));
  if (FAILED(rval)) {
    Msg("Creation of Direct3D interface failed.\n%s", D3DRMErrorToString(rval));
    ddraw->Release();
    return false;
  }
  myglobs.CurrDriver = -1;
  rval = d3d->EnumDevices(enumDeviceFunc, &myglobs.CurrDriver);
  if (FAILED(rval)) {
    Msg("Enumeration of drivers failed.\n%s", D3DRMErrorToString(rval));
    d3d->Release();
    ddraw->Release();
    return false;
  }
  d3d->Release();
  ddraw->Release();
  if (myglobs.CurrDriver == -1) {
    Msg("Could not find a D3D driver which is compatible with this display depth");
    return false;
  }
  HMENU file_menu = GetSubMenu(GetMenu(window), 0);
  for (int i = 0; i < myglobs.NumDrivers; ++i)
    InsertMenuA(file_menu, static_cast<UINT>(5 + i), MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(80 + i),
                myglobs.DriverName[i]);
  return true;
}

bool CreateDevAndView(IDirectDrawClipper* clipper, int driver, int width, int height) {
  if (width == 0 || height == 0) {
    Msg("Cannot create a D3DRM device with invalid window dimensions.");
    return false;
  }
  if (!lpD3DRM) return false;
  GUID* guid = driver >= 0 && driver < myglobs.NumDrivers ? &myglobs.DriverGUID[driver] : nullptr;
  HRESULT rval = lpD3DRM->CreateDeviceFromClipper(clipper, guid, width, height, &myglobs.dev);
  if (FAILED(rval)) rval = lpD3DRM->CreateDeviceFromClipper(clipper, nullptr, width, height, &myglobs.dev);
  if (FAILED(rval)) {
    Msg("Failed to create the D3DRM device from the clipper.\n%s", D3DRMErrorToString(rval));
    return false;
  }
  width = myglobs.dev->GetWidth();
  height = myglobs.dev->GetHeight();
  // The old front viewport belongs to the old device; it goes before the new one comes.
  if (myglobs.view1) {
    if (vp_data.cview == myglobs.view1) vp_data.cview = nullptr;
    myglobs.view1->Release();
    myglobs.view1 = nullptr;
  }
  rval = lpD3DRM->CreateViewport(myglobs.dev, myglobs.camera1, 0, 0, static_cast<DWORD>(width),
                                 static_cast<DWORD>(height), &myglobs.view1);
  GlobsToPolygon();
  polygoner.view1 = myglobs.camera1;
  vp_data.viewportpos = {0, 0, 0};
  vp_data.min = {0, 0, 0};
  vp_data.max = {width, height, 0};
  if (FAILED(rval)) {
    Msg("Failed to resize the viewport.\n%s", D3DRMErrorToString(rval));
    CleanUpAndPostQuit();
  }
  if (vp_data.activeview == 1 && !vp_data.cview) vp_data.cview = myglobs.view1;
  rval = myglobs.view1 ? myglobs.view1->SetBack(kBackPlane) : D3DRMERR_BADOBJECT;
  if (FAILED(rval)) {
    Msg("Failed to set background depth after viewport resize.\n%s", D3DRMErrorToString(rval));
    CleanUpAndPostQuit();
  }
  return SetRenderState();
}

bool BuildScene(IDirect3DRMDevice* dev, IDirect3DRMViewport* /*view*/, IDirect3DRMFrame* scene,
                IDirect3DRMFrame* camera) {
  if (!dev || FAILED(dev->SetQuality(D3DRMRENDER_GOURAUD))) {
    Msg("A failure occurred while building the scene.\n");
    return false;
  }
  return run_world_scene(scene, camera) != 0;
}

HWND InitApp(HINSTANCE instance, int /*show*/) {
  RegisterAppResources();
  InstallMessageBoxSink();
  // Finished images of the device reach the front view window through the window layer.
  SetRmPresentHook(PresentToWindow);

  myglobs.bkgndcolor = 0xFFFF0000;
  myglobs.forgndcolor = 0xFF7F7F7F;
  if (!RegisterWindowClasses(instance)) return nullptr;

  HWND main_win = CreateWindowA(kAppName, kAppName, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                                   CW_USEDEFAULT, CW_USEDEFAULT, kMainWidth, kMainHeight, nullptr, nullptr,
                                   instance, nullptr);
  if (!main_win) Msg("Win is == NULL ");
  vp_data.hwndmain = main_win;
  main_window = main_win;

  vp_data.hwndtex =
      CreateWindowA("ChechChild", nullptr, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 0, 0, 0, 0, main_win,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTextureWindowId)), instance, nullptr);
  if (!vp_data.hwndtex) Msg("<<<<<Texture is == NULL>>>>>> ");
  SendMessageA(vp_data.hwndtex, WM_CREATE, 0, 0);
  ShowWindow(main_win, SW_MAXIMIZE);

  InitGlobals();

  Defaultstag defaults{myglobs.bNoTextures, 0, myglobs.bConstRenderQuality, {}};
  std::snprintf(defaults.Name, sizeof defaults.Name, "%s", kAppName);
  OverrideDefaults(&defaults);
  myglobs.bNoTextures = defaults.bNoTextures;
  myglobs.bConstRenderQuality = defaults.bConstRenderQuality;

  if (!main_win) return nullptr;
  HWND front = CreateChildWindow(main_win, WindowProc, WindowProc, instance);
  if (!front) return nullptr;
  viewportcreated = true;
  mouser.viewhwnd = front;
  myglobs.dc = front;

  HDC dc = GetDC(front);
  myglobs.BPP = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(front, dc);

  if (!EnumDevices(main_win)) return nullptr;

  HRESULT rval = Direct3DRMCreate(&lpD3DRM);
  if (FAILED(rval)) {
    Msg("Failed to create Direct3DRM.\n%s", D3DRMErrorToString(rval));
    return nullptr;
  }

  for (IDirect3DRMFrame** divider : {&myglobs.deviderf1, &myglobs.deviderf2}) {
    if (FAILED(lpD3DRM->CreateFrame(nullptr, divider))) continue;
    (*divider)->SetPosition(nullptr, 0, 0, 0);
    (*divider)->SetOrientation(nullptr, 0, 0, 1, 0, 1, 0);
  }
  polygoner.deviderf1 = myglobs.deviderf1;
  polygoner.deviderf2 = myglobs.deviderf2;

  const HRESULT mainframe_result = lpD3DRM->CreateFrame(nullptr, &myglobs.mainframe);
  if (SUCCEEDED(mainframe_result)) lpD3DRM->CreateFrame(myglobs.mainframe, &myglobs.scene);

  polygoner.InitPolygoni();
  polygoner.InitWire();

  if (SUCCEEDED(mainframe_result)) BuildBackdrop();
  if (FAILED(mainframe_result)) {
    Msg("Failed to create the master scene frame.\n%s", D3DRMErrorToString(mainframe_result));
    return nullptr;
  }

  if (!MakeCamera(&myglobs.camera1, &polygoner.view1, {0, 0, 0}, {0, 0, 1}, {0, 1, 0}, myglobs.scene, true))
    return nullptr;
  if (!MakeCamera(&myglobs.camera2, &polygoner.view2, {-30, 0, 30}, {1, 0, 0}, {0, 1, 0}, nullptr, false))
    return nullptr;
  if (!MakeCamera(&myglobs.camera3, &polygoner.view3, {0, 30, 30}, {0, -1, 0}, {0, 0, 1}, nullptr, true))
    return nullptr;

  rval = DirectDrawCreateClipper(0, &lpDDClipper, nullptr);
  if (FAILED(rval)) {
    Msg("Failed to create DirectDrawClipper");
    return nullptr;
  }
  rval = lpDDClipper->SetHWnd(0, front);
  if (FAILED(rval)) {
    Msg("Failed to set hwnd on the clipper");
    return nullptr;
  }

  RECT client;
  GetClientRect(front, &client);
  if (!CreateDevAndView(lpDDClipper, myglobs.CurrDriver, client.right, client.bottom)) return nullptr;

  mouser.hWnd = front;
  mouser.InitMouse();
  // New faces take texture coordinates while the texture view shows a bitmap.
  model_links.texture_shown = [](TexturePlacement* placement) {
    if (!texture.fDisplayBitmap) return false;
    *placement = {texture.min_x, texture.min_y, texture.pixperw};
    return true;
  };
  polygoner.view1 = myglobs.camera1;
  polygoner.view2 = myglobs.camera2;
  polygoner.view3 = myglobs.camera3;

  if (!BuildScene(myglobs.dev, myglobs.view1, myglobs.scene, myglobs.camera1)) return nullptr;

  polygoner.world_frame->AddChild(myglobs.camera2);
  polygoner.world_frame->AddChild(myglobs.camera3);
  myglobs.bInitialized = TRUE;

  AddAmbientLight(myglobs.camera2);
  AddAmbientLight(myglobs.camera3);

  myglobs.scene->AddChild(myglobs.deviderf1);
  myglobs.scene->AddChild(myglobs.deviderf2);

  vp_data.cview = myglobs.view1;
  vp_data.activeview = 1;
  vp_data.depth = &vp_data.distance1;
  myglobs.camera1->SetPosition(polygoner.world_frame, 0, 0, -30);
  vp_data.distance1 = 30.0f;
  myglobs.view1->SetBack(kBackPlane);

  GlobsToPolygon();
  ShowWindow(main_win, SW_MAXIMIZE);
  UpdateWindow(front);

  hwndToolBar = InitToolBar(main_win);
  for (int id : {262, 225, 272, 231}) SendMessageA(hwndToolBar, TB_CHECKBUTTON, static_cast<WPARAM>(id), TRUE);
  for (int id : {262, 263, 264}) SendMessageA(hwndToolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(id), FALSE);

  myglobs.curIde = 202;
  initdone = true;
  return front;
}
