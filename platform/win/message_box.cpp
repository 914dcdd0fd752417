// Message boxes: a real modal box, or the installed responder, or (headless) a line on
// standard error and the default button.
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "platform/win/window_record.h"

namespace {

ModalResponder& Responder() {
  static auto* responder = new ModalResponder;
  return *responder;
}

struct ButtonSet {
  UINT type;
  int buttons[3];
  int count;
};
constexpr ButtonSet kButtonSets[] = {
    {MB_OK, {IDOK}, 1},
    {MB_OKCANCEL, {IDOK, IDCANCEL}, 2},
    {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, 3},
    {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, 3},
    {MB_YESNO, {IDYES, IDNO}, 2},
    {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, 2},
};

const ButtonSet& ButtonsOf(UINT type) {
  for (const ButtonSet& set : kButtonSets)
    if (set.type == (type & MB_TYPEMASK)) return set;
  return kButtonSets[0];
}

int DefaultButton(UINT type) {
  const ButtonSet& set = ButtonsOf(type);
  const int index = static_cast<int>((type & MB_DEFMASK) >> 8);
  return set.buttons[index < set.count ? index : 0];
}

QMessageBox::StandardButton QtButton(int id) {
  switch (id) {
    case IDOK: return QMessageBox::Ok;
    case IDCANCEL: return QMessageBox::Cancel;
    case IDABORT: return QMessageBox::Abort;
    case IDRETRY: return QMessageBox::Retry;
    case IDIGNORE: return QMessageBox::Ignore;
    case IDYES: return QMessageBox::Yes;
    default: return QMessageBox::No;
  }
}

QMessageBox::Icon QtIcon(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int ShowBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  HWND top = LiveWindow(TopLevelOf(owner));
  QMessageBox box(QtIcon(type), QString::fromLocal8Bit(caption.c_str()), QString::fromLocal8Bit(text.c_str()),
                  QMessageBox::NoButton, top ? top->frame.data() : nullptr);
  const ButtonSet& set = ButtonsOf(type);
  for (int i = 0; i < set.count; ++i) box.addButton(QtButton(set.buttons[i]));
  box.setDefaultButton(QtButton(DefaultButton(type)));
  // Escape (or closing the box) answers Cancel where there is one, else the only button.
  bool has_cancel = false;
  for (int i = 0; i < set.count; ++i) has_cancel = has_cancel || set.buttons[i] == IDCANCEL;
  box.setEscapeButton(QtButton(has_cancel ? IDCANCEL : set.buttons[set.count - 1]));
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (int i = 0; i < set.count; ++i)
    if (clicked && clicked == box.button(QtButton(set.buttons[i]))) return set.buttons[i];
  return has_cancel ? IDCANCEL : DefaultButton(type);
}

}  // namespace

void SetModalResponder(ModalResponder responder) { Responder() = std::move(responder); }

const ModalResponder& GetModalResponder() { return Responder(); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  const std::string body = text ? text : "";
  const std::string title = caption ? caption : "Error";
  if (Responder().answer_box) return Responder().answer_box(title, body, type);
  if (!IsInteractivePlatform()) {
    // Nothing headless waits for a person.
    std::fprintf(stderr, "%s: %s\n", title.c_str(), body.c_str());
    return DefaultButton(type);
  }
  return ShowBox(owner, body, title, type);
}
