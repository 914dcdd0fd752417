// The colour chooser on Qt's QColorDialog, or answered by the responder.
#include <QApplication>
#include <QColorDialog>
#include <cstdio>

#include "platform/win/window_record.h"

namespace {

constexpr int kCustomColours = 16;

QColor QtColour(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

COLORREF ColourRef(const QColor& c) {
  return static_cast<COLORREF>(c.red()) | (static_cast<COLORREF>(c.green()) << 8) |
         (static_cast<COLORREF>(c.blue()) << 16);
}

std::optional<COLORREF> AskPerson(CHOOSECOLORA* request) {
  // The chooser's custom colours are Qt's, shared by every chooser: they carry the
  // program's sixteen in and out.
  if (request->lpCustColors)
    for (int i = 0; i < kCustomColours; ++i) QColorDialog::setCustomColor(i, QtColour(request->lpCustColors[i]));
  HWND top = LiveWindow(TopLevelOf(request->hwndOwner));
  QColorDialog dialog(top ? top->frame.data() : nullptr);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (request->Flags & CC_RGBINIT) dialog.setCurrentColor(QtColour(request->rgbResult));
  const bool chosen = dialog.exec() == QDialog::Accepted;
  if (request->lpCustColors)
    for (int i = 0; i < kCustomColours; ++i) request->lpCustColors[i] = ColourRef(QColorDialog::customColor(i));
  if (!chosen) return std::nullopt;
  return ColourRef(dialog.selectedColor());
}

}  // namespace

BOOL ChooseColorA(CHOOSECOLORA* request) {
  if (!request || request->lStructSize != sizeof(CHOOSECOLORA) || !qApp) return FALSE;
  std::optional<COLORREF> colour;
  // A copy: the responder may install another while it runs.
  const auto answer = GetModalResponder().answer_color;
  if (answer) {
    colour = answer(*request);
  } else if (!IsInteractivePlatform()) {
    std::fprintf(stderr, "Color: colour chooser cancelled, nobody to answer it\n");
  } else {
    colour = AskPerson(request);
  }
  if (!colour) return FALSE;
  request->rgbResult = *colour;
  return TRUE;
}
