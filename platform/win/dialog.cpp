// Dialogs from templates: the window and its controls, the procedure behind the window,
// and the modal run (a real QDialog, a test's driver, or cancelling when headless).
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <cmath>
#include <cstdio>
#include <functional>

#include "platform/win/control_state.h"
#include "platform/win/window_record.h"

namespace {

struct ControlClass {
  DialogControlKind kind;
  const char* class_name;
  DWORD style;
};
constexpr ControlClass kControlClasses[] = {
    {DialogControlKind::kPushButton, kButtonClass, BS_PUSHBUTTON},
    {DialogControlKind::kDefPushButton, kButtonClass, BS_DEFPUSHBUTTON},
    {DialogControlKind::kLeftText, kStaticClass, SS_LEFT},
    {DialogControlKind::kCentredText, kStaticClass, SS_CENTER},
    {DialogControlKind::kGroupBox, kButtonClass, BS_GROUPBOX},
    {DialogControlKind::kAutoRadioButton, kButtonClass, BS_AUTORADIOBUTTON},
    {DialogControlKind::kAutoCheckBox, kButtonClass, BS_AUTOCHECKBOX},
    {DialogControlKind::kRadioButton, kButtonClass, BS_RADIOBUTTON},
    {DialogControlKind::kCheckBox, kButtonClass, BS_CHECKBOX},
    {DialogControlKind::kDropDownList, kComboBoxClass, CBS_DROPDOWNLIST},
    {DialogControlKind::kListBox, kListBoxClass, 0},
    {DialogControlKind::kEdit, kEditClass, ES_LEFT},
    {DialogControlKind::kHorizontalScrollBar, kScrollBarClass, SBS_HORZ},
};

const ControlClass* ClassOf(DialogControlKind kind) {
  for (const ControlClass& row : kControlClasses)
    if (row.kind == kind) return &row;
  return nullptr;
}

DialogState* StateOf(HWND window) {
  return LiveWindow(window) && window->dialog ? window->dialog.get() : nullptr;
}

class DialogFrame : public QDialog {
 public:
  DialogFrame(HWND window, QWidget* owner, Qt::WindowFlags flags) : QDialog(owner, flags) {
    TagWidget(this, window);
  }

  // Escape: the procedure hears the cancel command and decides whether the dialog ends.
  void reject() override {
    if (HWND window = WindowOfWidget(this)) CancelDialog(window);
  }

 protected:
  // The close button too is the procedure's decision, through WM_CLOSE.
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (HWND window = WindowOfWidget(this)) SendMessageA(window, WM_CLOSE, 0, 0);
  }
};

Qt::WindowFlags FrameFlags(DWORD style) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
  if ((style & WS_CAPTION) == WS_CAPTION) flags |= Qt::WindowTitleHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowCloseButtonHint;
  return flags;
}

// Dialog units follow the dialog's font, so a template keeps its proportions whatever the
// font: four to the average character width across, eight to the height down. The average
// is that of the 52 letters, rounded, as the platform measures a font.
QRect PixelsFromDialogUnits(int x, int y, int width, int height, const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const int across = (letters / 26 + 1) / 2;
  const int down = metrics.height();
  const auto scale = [](int units, int base, int parts) {
    return static_cast<int>(std::lround(static_cast<double>(units) * base / parts));
  };
  return QRect(scale(x, across, 4), scale(y, down, 8), scale(width, across, 4), scale(height, down, 8));
}

// Centred on the owner's frame; without an owner, where the template puts it.
QPoint DialogPosition(HWND owner, const QRect& area) {
  HWND top = LiveWindow(owner);
  if (!top || !top->frame) return area.topLeft();
  return top->frame->frameGeometry().center() - QPoint(area.width() / 2, area.height() / 2);
}

HWND MakeDialog(const DialogResource& resource, HINSTANCE instance, HWND owner) {
  // Hidden until the modal run shows it.
  HWND dialog = CreateWindowExA(0, kDialogClass, resource.caption.c_str(), resource.style & ~WS_VISIBLE, 0, 0,
                                0, 0, owner, nullptr, instance, nullptr);
  if (!dialog) return nullptr;
  dialog->dialog = std::make_unique<DialogState>();
  const QFont font = dialog->frame->font();
  const QRect area = PixelsFromDialogUnits(resource.x, resource.y, resource.width, resource.height, font);
  const QPoint at = DialogPosition(owner, area);
  SetWindowPos(dialog, nullptr, at.x(), at.y(), area.width(), area.height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (resource.style & DS_MODALFRAME) dialog->frame->setFixedSize(area.size());

  for (const DialogControl& control : resource.controls) {
    const ControlClass* row = ClassOf(control.kind);
    const QRect place = PixelsFromDialogUnits(control.x, control.y, control.width, control.height, font);
    HWND item =
        row ? CreateWindowExA(0, row->class_name, control.text.c_str(),
                              WS_CHILD | WS_VISIBLE | row->style | control.style, place.x(), place.y(),
                              place.width(), place.height(), dialog,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(control.id)), instance, nullptr)
            : nullptr;
    if (!item) {
      DestroyWindow(dialog);
      return nullptr;
    }
  }
  return dialog;
}

void ShowModal(HWND dialog) {
  auto* frame = qobject_cast<QDialog*>(dialog->frame.data());
  if (!frame) return;
  DialogState& state = *dialog->dialog;
  state.running = true;
  dialog->style |= WS_VISIBLE;  // exec shows the frame itself
  frame->exec();
  state.running = false;
}

// Runs until the procedure ends the dialog. Whoever stands in for the user (a driver, or
// nobody on a headless platform) leaves an unfinished dialog cancelled as Escape would; a
// procedure that ignores even that gets IDCANCEL.
void RunModal(HWND dialog) {
  DialogState& state = *dialog->dialog;
  if (!state.ended) {
    // A copy: the driver may install another responder while it runs.
    const std::function<void(HWND)> drive = GetModalResponder().drive_dialog;
    if (drive) {
      drive(dialog);
    } else if (!IsInteractivePlatform()) {
      std::fprintf(stderr, "%s: dialog cancelled, nobody to answer it\n", dialog->text.c_str());
    } else {
      ShowModal(dialog);
    }
  }
  if (!state.ended && LiveWindow(dialog)) CancelDialog(dialog);
  if (!state.ended) {
    state.ended = true;
    state.result = IDCANCEL;
  }
}

}  // namespace

void MakeDialogWidgets(HWND window) {
  HWND owner = LiveWindow(TopLevelOf(window->parent));
  auto* frame = new DialogFrame(window, owner ? owner->frame.data() : nullptr, FrameFlags(window->style));
  // A plain client: input on a dialog goes to its controls, not into the message queue.
  auto* client = new QWidget(frame);
  TagWidget(client, window);
  window->frame = frame;
  window->client = client;
}

LRESULT DialogWindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (DialogState* state = StateOf(window); state && state->procedure)
    if (const INT_PTR handled = state->procedure(window, message, wparam, lparam)) return handled;
  if (message == WM_CLOSE) {
    CancelDialog(window);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void CancelDialog(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
}

bool DialogEnded(HWND dialog) {
  const DialogState* state = StateOf(dialog);
  return state && state->ended;
}

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR template_name, HWND owner, DLGPROC procedure,
                        LPARAM init) {
  const DialogResource* resource = FindDialogResource(template_name);
  if (!resource || !procedure || !qApp) return -1;
  if (owner && !LiveWindow(owner)) return -1;
  HWND dialog = MakeDialog(*resource, instance, TopLevelOf(owner));
  if (!dialog) return -1;
  DialogState& state = *dialog->dialog;
  state.procedure = procedure;
  HWND first = dialog->children.empty() ? nullptr : dialog->children.front();
  // A procedure that returns nonzero leaves the keyboard to the first control.
  if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init) && LiveWindow(first))
    SetFocus(first);
  RunModal(dialog);
  DestroyWindow(dialog);
  return state.result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  DialogState* state = StateOf(dialog);
  if (!state) return FALSE;
  state->ended = true;
  state->result = result;
  // Qt leaves exec once back at the dialog's loop, that is when the procedure returns.
  if (state->running)
    if (auto* frame = qobject_cast<QDialog*>(dialog->frame.data())) frame->done(0);
  return TRUE;
}
