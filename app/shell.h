// The program's spine: start-up, the loop of messages and render passes, shutdown, and the
// one window procedure.
#pragma once

#include "platform/rm/d3drm.h"
#include "platform/win/win.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);
// Returns the front view window, or null when start-up fails.
HWND InitApp(HINSTANCE instance, int show);
void InitGlobals();

bool EnumDevices(HWND window);
HRESULT enumDeviceFunc(GUID* guid, char* description, char* name, D3DDEVICEDESC* hardware,
                       D3DDEVICEDESC* software, void* context);
DWORD BPPToDDBD(int bpp);

bool CreateDevAndView(IDirectDrawClipper* clipper, int driver, int width, int height);
bool BuildScene(IDirect3DRMDevice* dev, IDirect3DRMViewport* view, IDirect3DRMFrame* scene,
                IDirect3DRMFrame* camera);

// One pass: move the scene, clear and render every enabled view, update the device.
bool RenderLoop();
// One turn of the loop: every waiting message, then one pass unless minimised or not
// initialised (then, with `wait`, blocks for the next message). False when the loop ends.
bool LoopTurn(HACCEL accelerators, MSG* msg, bool wait);
// Failed passes in the life of the process; the third ends the loop.
int RenderFailures();
void CleanUpAndPostQuit();
void EvActivateApp(BOOL active);

LRESULT WindowProc(HWND win, UINT msg, WPARAM wparam, LPARAM lparam);

// Registers the program's menus, accelerators, strings, bitmaps, cursors and icons.
void RegisterAppResources();
// Sends Msg's texts to modal message boxes.
void InstallMessageBoxSink();
