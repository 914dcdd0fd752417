// The single-line edit box: its Qt widget, its procedure, and the driver's typing.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/win/window_record.h"

namespace {

QLineEdit* EditOf(HWND window) { return qobject_cast<QLineEdit*>(window->client.data()); }

// Printable ASCII has Qt key codes equal to its upper-case character codes.
int KeyFor(QChar character) {
  const char16_t code = character.toUpper().unicode();
  return code >= 0x20 && code < 0x7F ? static_cast<int>(code) : static_cast<int>(Qt::Key_unknown);
}

void Press(QWidget* widget, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(widget, &release);
}

}  // namespace

// Qt's line edit always scrolls sideways, as ES_AUTOHSCROLL asks.
QWidget* MakeEditWidget(HWND window, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  TagWidget(edit, window);
  edit->setText(QString::fromLocal8Bit(window->text.c_str()));
  // Qt reports only the user's edits here; the window keeps the text for WM_GETTEXT.
  QObject::connect(edit, &QLineEdit::textEdited, edit, [window](const QString& text) {
    if (!LiveWindow(window)) return;
    window->text = text.toLocal8Bit().toStdString();
    NotifyParent(window, EN_CHANGE);
  });
  return edit;
}

LRESULT EditProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const LRESULT result = DefWindowProcA(window, message, wparam, lparam);
  if (message == WM_SETTEXT) {
    if (QLineEdit* edit = EditOf(window)) edit->setText(QString::fromLocal8Bit(window->text.c_str()));
    // A single-line edit box tells its parent of the program's changes too.
    NotifyParent(window, EN_CHANGE);
  }
  return result;
}

BOOL TypeDlgItemText(HWND dialog, int id, const char* text) {
  if (DialogEnded(dialog) || !text) return FALSE;  // no longer on screen
  HWND item = GetDlgItem(dialog, id);
  QLineEdit* edit = item ? EditOf(item) : nullptr;
  if (!edit || !edit->isEnabled()) return FALSE;
  edit->selectAll();
  const QString typed = QString::fromLocal8Bit(text);
  if (typed.isEmpty()) Press(edit, Qt::Key_Delete, QString());
  for (const QChar character : typed) Press(edit, KeyFor(character), QString(character));
  return TRUE;
}
