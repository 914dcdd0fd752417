// The Texture menu's commands on the mesh's look: no texture, and the mesh colour.
#include "app/edit_input.h"
#include "app/globals.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr WORD kNoTexture = 260;
constexpr WORD kMeshColour = 269;
constexpr WPARAM kFirstRenderCommand = 272;

// The mesh is rebuilt in its new look by running the current render mix again.
void Rerender() { SendMessageA(main_window, WM_COMMAND, kFirstRenderCommand + static_cast<WPARAM>(rmode), 0); }

}  // namespace

bool OnTextureCommand(WORD id) {
  switch (id) {
    case kNoTexture:
      texture.fDisplayBitmap = false;
      texture.texloaded = false;
      Rerender();
      return true;
    case kMeshColour: {
      CHOOSECOLORA request;
      request.hwndOwner = vp_data.hwndtex;
      request.rgbResult = texture.color;
      request.lpCustColors = texture.colorarray;
      request.Flags = CC_RGBINIT;
      // A cancelled chooser leaves rgbResult as it was, which is stored all the same.
      ChooseColorA(&request);
      texture.color = request.rgbResult;
      Rerender();
      return true;
    }
    default: return false;
  }
}
