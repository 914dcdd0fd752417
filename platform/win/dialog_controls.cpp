// The controls of dialogs: buttons (push, default, check box and radio button, each also
// automatic, group box) and static texts as Qt widgets, their window procedure, what a click does,
// how a control tells its parent, and the calls that address controls by id.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "platform/win/window_record.h"

namespace {

// The layer decides what a click does to the check, so Qt must not toggle it first.
template <typename Base>
class LayerCheckedButton : public Base {
 public:
  explicit LayerCheckedButton(QWidget* parent) : Base(parent) {}

 protected:
  void nextCheckState() override {}
};

DWORD ButtonType(HWND window) { return window->style & BS_TYPEMASK; }

bool IsAutoRadio(HWND window) {
  return LiveWindow(window) && window->window_class->kind == WindowKind::kButton &&
         ButtonType(window) == BS_AUTORADIOBUTTON;
}

QAbstractButton* ButtonOf(HWND window) {
  return LiveWindow(window) ? qobject_cast<QAbstractButton*>(window->client.data()) : nullptr;
}

// A group runs from the nearest control at or before the button that has WS_GROUP (or the
// first control) up to the next control that has it; its other auto radio buttons lose
// their check.
void CheckInGroup(HWND button) {
  const std::vector<HWND> siblings = button->parent->children;  // handlers may change the list
  const auto at = std::find(siblings.begin(), siblings.end(), button);
  if (at == siblings.end()) return;
  auto first = at;
  while (first != siblings.begin() && !((*first)->style & WS_GROUP)) --first;
  auto last = std::next(at);
  while (last != siblings.end() && !((*last)->style & WS_GROUP)) ++last;
  for (auto it = first; it != last; ++it)
    if (IsAutoRadio(*it)) SendMessageA(*it, BM_SETCHECK, *it == button ? BST_CHECKED : BST_UNCHECKED, 0);
}

// A user's click: the check changes first, then the parent hears of it.
void Click(HWND button) {
  switch (ButtonType(button)) {
    case BS_AUTOCHECKBOX: {
      const bool checked = SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
      SendMessageA(button, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    }
    case BS_AUTORADIOBUTTON:
      CheckInGroup(button);
      break;
    default:
      break;
  }
  NotifyParent(button, BN_CLICKED);
}

void ShowText(QWidget* widget, const std::string& window_text) {
  const QString text = QString::fromLocal8Bit(window_text.c_str());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    box->setTitle(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  }
}

}  // namespace

bool IsControlKind(WindowKind kind) {
  switch (kind) {
    case WindowKind::kButton:
    case WindowKind::kStatic:
    case WindowKind::kComboBox:
    case WindowKind::kListBox:
    case WindowKind::kEdit:
    case WindowKind::kScrollBar:
      return true;
    default:
      return false;
  }
}

void NotifyParent(HWND control, WORD code) {
  if (LiveWindow(control) && LiveWindow(control->parent))
    SendMessageA(control->parent, WM_COMMAND, MAKEWPARAM(control->id, code),
                 reinterpret_cast<LPARAM>(control));
}

// Button types other than those below show as push buttons.
QWidget* MakeButtonWidget(HWND window, QWidget* parent) {
  QWidget* widget = nullptr;
  switch (ButtonType(window)) {
    case BS_GROUPBOX:
      widget = new QGroupBox(parent);
      break;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
      widget = new LayerCheckedButton<QCheckBox>(parent);
      break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
      auto* radio = new LayerCheckedButton<QRadioButton>(parent);
      radio->setAutoExclusive(false);  // groups follow WS_GROUP, not Qt's siblings
      widget = radio;
      break;
    }
    default: {
      auto* push = new QPushButton(parent);
      push->setDefault(ButtonType(window) == BS_DEFPUSHBUTTON);
      widget = push;
      break;
    }
  }
  TagWidget(widget, window);
  ShowText(widget, window->text);
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    QObject::connect(button, &QAbstractButton::clicked, button, [window] {
      if (LiveWindow(window)) Click(window);
    });
  return widget;
}

QWidget* MakeStaticWidget(HWND window, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  const Qt::Alignment across = (window->style & SS_TYPEMASK) == SS_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
  label->setAlignment(across | Qt::AlignTop);
  TagWidget(label, window);
  ShowText(label, window->text);
  return label;
}

LRESULT ControlProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case BM_GETCHECK: {
      QAbstractButton* button = ButtonOf(window);
      return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    }
    case BM_SETCHECK:
      if (QAbstractButton* button = ButtonOf(window); button && button->isCheckable())
        button->setChecked(wparam == BST_CHECKED);
      return 0;
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcA(window, message, wparam, lparam);
      ShowText(window->client, window->text);
      return result;
    }
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

BOOL ClickDlgButton(HWND dialog, int id) {
  if (DialogEnded(dialog)) return FALSE;  // no longer on screen
  QAbstractButton* button = ButtonOf(GetDlgItem(dialog, id));
  if (!button || !button->isEnabled()) return FALSE;
  // Through Qt's own click, so a driven click takes the path a user's does.
  button->click();
  return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND button = GetDlgItem(dialog, id);
  if (!button) return FALSE;
  SendMessageA(button, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return button ? static_cast<UINT>(SendMessageA(button, BM_GETCHECK, 0, 0)) : BST_UNCHECKED;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  if (!LiveWindow(dialog)) return FALSE;
  const std::vector<HWND> children = dialog->children;
  for (HWND child : children) {
    if (!LiveWindow(child) || !(child->style & WS_CHILD)) continue;
    const int id = GetDlgCtrlID(child);
    if (id >= first && id <= last)
      SendMessageA(child, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextA(item, text) : FALSE;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wparam, LPARAM lparam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageA(item, message, wparam, lparam) : 0;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  HWND item = GetDlgItem(dialog, id);
  return item ? static_cast<UINT>(GetWindowTextA(item, buffer, size)) : 0;
}
