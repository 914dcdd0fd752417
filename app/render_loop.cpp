// The render pass, the loop's turn between messages and passes, and shutdown.
#include "app/errors.h"
#include "app/globals.h"
#include "app/shell.h"
#include "model/polygoni.h"
#include "views/viewport_data.h"

namespace {

// Never reset: the third failed pass in the life of the process ends the program.
int render_failures = 0;

HRESULT ClearAndRender(IDirect3DRMViewport* view, IDirect3DRMFrame* frame, bool* clear_failed) {
  if (!view) return D3DRMERR_BADOBJECT;
  HRESULT rval = view->Clear();
  *clear_failed = FAILED(rval);
  if (FAILED(rval)) return rval;
  return view->Render(frame);
}

bool PassView(IDirect3DRMViewport* view) {
  bool clear_failed = false;
  const HRESULT rval = ClearAndRender(view, myglobs.scene, &clear_failed);
  if (SUCCEEDED(rval)) return true;
  if (clear_failed || !view)
    Msg("Clearing viewport1 failed.\n%s", D3DRMErrorToString(rval));
  else
    Msg("Rendering scene1 failed.\n%s", D3DRMErrorToString(rval));
  return false;
}

template <class T>
void ReleaseAndClear(T** object) {
  if (*object) (*object)->Release();
  *object = nullptr;
}

}  // namespace

bool RenderLoop() {
  HRESULT rval = myglobs.scene ? myglobs.scene->Move(1.0f) : D3DRMERR_BADOBJECT;
  if (FAILED(rval)) {
    Msg("Moving scene failed.\n%s", D3DRMErrorToString(rval));
    return false;
  }
  if (vp_data.sideenabled) {
    bool clear_failed = false;
    rval = ClearAndRender(myglobs.devider1, myglobs.frameframe, &clear_failed);
    if (FAILED(rval)) {
      Msg("Clearing viewport1 failed.\n%s", D3DRMErrorToString(rval));
      return false;
    }
  }
  if (vp_data.topenabled && myglobs.devider2) {
    // The second strip's results are not checked: a missing strip only leaves a gap.
    myglobs.devider2->Clear();
    myglobs.devider2->Render(myglobs.frameframe);
  }
  if (vp_data.frontenabled && !PassView(myglobs.view1)) return false;
  if (vp_data.sideenabled && !PassView(myglobs.view2)) return false;
  if (vp_data.topenabled && !PassView(myglobs.view3)) return false;
  rval = myglobs.dev ? myglobs.dev->Update() : D3DRMERR_BADOBJECT;
  if (FAILED(rval)) {
    Msg("Updating device failed.\n%s", D3DRMErrorToString(rval));
    return false;
  }
  return true;
}

int RenderFailures() { return render_failures; }

bool LoopTurn(HACCEL accelerators, MSG* msg, bool wait) {
  while (PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg->message == WM_QUIT) {
      CleanUpAndPostQuit();
      break;
    }
    if (!accelerators || !TranslateAcceleratorA(msg->hwnd, accelerators, msg)) {
      TranslateMessage(msg);
      DispatchMessageA(msg);
    }
  }
  if (myglobs.bQuit) return false;
  if (myglobs.bMinimized || !myglobs.bInitialized) {
    if (wait) WaitMessage();
    return true;
  }
  if (myglobs.bSingleStepMode && !myglobs.bDrawAFrame) return true;
  if (!RenderLoop()) {
    ++render_failures;
    if (render_failures > 2) {
      Msg("Rendering has failed too many times.  Aborting execution.\n");
      CleanUpAndPostQuit();
      return false;
    }
  }
  myglobs.bDrawAFrame = FALSE;
  return true;
}

void CleanUpAndPostQuit() {
  myglobs.bInitialized = FALSE;
  ReleaseAndClear(&myglobs.scene);
  ReleaseAndClear(&myglobs.camera1);
  ReleaseAndClear(&myglobs.camera2);
  ReleaseAndClear(&myglobs.camera3);
  ReleaseAndClear(&myglobs.view1);
  ReleaseAndClear(&myglobs.view2);
  ReleaseAndClear(&myglobs.view3);
  ReleaseAndClear(&myglobs.dev);
  ReleaseAndClear(&lpD3DRM);
  ReleaseAndClear(&lpDDClipper);
  ReleaseAndClear(&myglobs.devider1);
  ReleaseAndClear(&myglobs.devider2);
  ReleaseAndClear(&myglobs.deviderf1);
  ReleaseAndClear(&myglobs.deviderf2);
  ReleaseAndClear(&myglobs.mainframe);
  ReleaseAndClear(&myglobs.light3);
  ReleaseAndClear(&myglobs.frameframe);
  ReleaseAndClear(&myglobs.framemesh);
  // The model's copies are the same objects, released above.
  polygoner.scene = nullptr;
  polygoner.view1 = polygoner.view2 = polygoner.view3 = nullptr;
  polygoner.camera1 = polygoner.camera2 = polygoner.camera3 = nullptr;
  polygoner.dev = nullptr;
  polygoner.devider1 = polygoner.devider2 = nullptr;
  polygoner.deviderf1 = polygoner.deviderf2 = nullptr;
  vp_data.cview = nullptr;
  myglobs.bQuit = TRUE;
}
