// The File menu, the Replace File question that Save As asks, and the Shape menu.
#include <cstdio>
#include <string>

#include "app/edit_input.h"
#include "app/globals.h"
#include "app/option_dialogs.h"
#include "model/polygoni.h"

namespace {

constexpr WORD kNew = 201;
constexpr WORD kOpen = 202;
constexpr WORD kSave = 203;
constexpr WORD kSaveAs = 204;
constexpr WORD kMerge = 228;
constexpr WORD kReplaceFile = 287;
constexpr WORD kCube = 279;
constexpr WORD kPlane = 282;
constexpr WORD kEdit = 50;
constexpr int kReplaceDialog = 11;
constexpr int kShapeDialog = 8;

}  // namespace

bool OnDocumentCommand(HWND win, WORD id) {
  Polygoni& m = polygoner;
  // A new or loaded mesh would leave a half-drawn polygon pointing at elements that are
  // gone or moved; it is cancelled first, as Escape does.
  if (id == kNew || id == kOpen || id == kMerge) m.Terminate();
  switch (id) {
    case kNew: m.New(win); return true;
    case kOpen: m.Open(win, false, false); return true;
    case kSave:
      if (m.Untitled()) m.Open(win, true, true);
      m.Open(win, false, true);
      return true;
    case kSaveAs: m.Open(win, true, true); return true;
    case kMerge: {
      // The merged file becomes part of the document; the document keeps its own name, so
      // a later Save does not write over the merged file.
      const std::string name = m.sztitlename, path = m.filepath;
      m.merge = true;
      m.Open(win, false, false);
      m.merge = false;
      std::snprintf(m.sztitlename, kPathLength, "%s", name.c_str());
      std::snprintf(m.filepath, kPathLength, "%s", path.c_str());
      m.UpdateText();
      return true;
    }
    case kReplaceFile:
      // Without an answer the file is not replaced.
      if (RunDialog(win, kReplaceDialog, ReplaceDlgProc) == -1) m.outcome = false;
      return true;
    default: break;
  }
  if (id >= kCube && id <= kPlane) {
    m.shape = id - kCube;
    SendMessageA(win, WM_COMMAND, kEdit, 0);
    RunDialog(win, kShapeDialog, ShapeDlgProc);
    return true;
  }
  return false;
}
