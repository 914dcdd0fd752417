// The Texture menu's commands: loading a bitmap, the texture mapping, no texture, the
// mesh colour and its material. The last three run the render mix again, which rebuilds
// the mesh in its new look.
#include "app/edit_input.h"
#include "app/globals.h"
#include "app/option_dialogs.h"
#include "texture/texture.h"
#include "views/viewport_data.h"

namespace {

constexpr WORD kNoTexture = 260;
constexpr WORD kMeshColour = 269;
constexpr WORD kMaterial = 259;
constexpr WORD kLoadTexture = 217;
constexpr WORD kTextureMapping = 261;
constexpr int kMaterialDialog = 4;
constexpr int kTextureMappingDialog = 7;

}  // namespace

bool OnTextureCommand(WORD id) {
  switch (id) {
    case kNoTexture:
      texture.fDisplayBitmap = false;
      texture.texloaded = false;
      SendRenderCommand();
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
      SendRenderCommand();
      return true;
    }
    case kMaterial:
      RunDialog(main_window, kMaterialDialog, MaterialDlgProc);
      return true;
    case kLoadTexture: texture.LoadTexture(); return true;
    case kTextureMapping:
      RunDialog(main_window, kTextureMappingDialog, WrapDlgProc);
      return true;
    default: return false;
  }
}
