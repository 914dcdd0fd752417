// The Texture Mapping dialog: the bitmap's scale, the texture map's size, and whether to
// generate every corner's coordinates again.
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "app/globals.h"
#include "model/polygoni.h"
#include "texture/texture.h"

namespace {

constexpr int kScaleX = 107, kScaleY = 108;
constexpr int kSizeX = 111, kSizeY = 112;
constexpr int kRegenerate = 104;
constexpr int kFieldLength = 10;

void ShowScale(HWND dialog, int id, float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%4.2f", static_cast<double>(value));
  SetDlgItemTextA(dialog, id, text);
}

void ShowSize(HWND dialog, int id, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%i", value);
  SetDlgItemTextA(dialog, id, text);
}

// Up to ten characters of an edit box.
void ReadField(HWND dialog, int id, char (&text)[kFieldLength + 1]) {
  text[0] = '\0';
  GetDlgItemTextA(dialog, id, text, sizeof text);
}

// A decimal integer as the leading digits give it; a value beyond int is held at its end.
int ToInt(const char* text) {
  const long v = std::strtol(text, nullptr, 10);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

INT_PTR WrapDlgProc(HWND dialog, UINT msg, WPARAM wparam, LPARAM /*lparam*/) {
  switch (msg) {
    case WM_INITDIALOG:
      ShowScale(dialog, kScaleX, texture.scale_x);
      ShowScale(dialog, kScaleY, texture.scale_y);
      ShowSize(dialog, kSizeX, texture.mapsize_x);
      ShowSize(dialog, kSizeY, texture.mapsize_y);
      CheckDlgButton(dialog, kRegenerate, BST_UNCHECKED);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case IDOK: {
          // Without a mesh or a texture there is nothing to map: the dialog stays open.
          if (!polygoner.scenemesh || !texture.tex) return TRUE;
          EndDialog(dialog, 1);
          char text[kFieldLength + 1];
          ReadField(dialog, kScaleX, text);
          texture.scale_x = static_cast<float>(std::atof(text));
          ReadField(dialog, kScaleY, text);
          texture.scale_y = static_cast<float>(std::atof(text));
          ReadField(dialog, kSizeX, text);
          texture.mapsize_x = ToInt(text);
          ReadField(dialog, kSizeY, text);
          texture.mapsize_y = ToInt(text);
          texture.ScaleBitmap(texture.scale_x, texture.scale_y, texture.mapsize_x, texture.mapsize_y);
          if (IsDlgButtonChecked(dialog, kRegenerate) == BST_CHECKED) texture.InitTexPoints();
          return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        default: return FALSE;
      }
    default: return FALSE;
  }
}
