// The toolbar: buttons with command ids, states and check groups on a QToolBar, images
// cut from a registered strip, tips asked of the parent by WM_NOTIFY.
#include <QAction>
#include <QHelpEvent>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <algorithm>
#include <cstring>

#include "platform/win/control_state.h"
#include "platform/win/qt_access.h"
#include "platform/win/window_record.h"

namespace {

constexpr int kToolbarHeight = 26;
constexpr int kMaxButtons = 1024;

// Asks for the tip when Qt wants to show one over a button.
class TipFilter : public QObject {
 public:
  TipFilter(HWND toolbar, int command, QObject* parent) : QObject(parent), toolbar_(toolbar), command_(command) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    if (!LiveWindow(toolbar_) || !(toolbar_->style & TBSTYLE_TOOLTIPS)) return true;
    const std::string tip = RequestToolbarTip(toolbar_, command_);
    auto* help = static_cast<QHelpEvent*>(event);
    if (tip.empty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), QString::fromLocal8Bit(tip.c_str()), qobject_cast<QWidget*>(watched));
    return true;
  }

 private:
  HWND toolbar_;
  int command_;
};

ToolbarState* StateOf(HWND window) {
  return LiveWindow(window) && window->toolbar ? window->toolbar.get() : nullptr;
}

int IndexOf(const ToolbarState& state, WPARAM command) {
  for (size_t i = 0; i < state.buttons.size(); ++i)
    if (!(state.buttons[i].fsStyle & TBSTYLE_SEP) && state.buttons[i].idCommand == static_cast<int>(command))
      return static_cast<int>(i);
  return -1;
}

QToolButton* ButtonWidget(HWND toolbar, int index) {
  ToolbarState* state = StateOf(toolbar);
  auto* bar = qobject_cast<QToolBar*>(toolbar->client.data());
  if (!state || !bar || index < 0 || static_cast<size_t>(index) >= state->actions.size()) return nullptr;
  QAction* action = state->actions[index];
  return action ? qobject_cast<QToolButton*>(bar->widgetForAction(action)) : nullptr;
}

void Show(HWND toolbar, int index) {
  ToolbarState* state = StateOf(toolbar);
  QAction* action = state->actions[index];
  if (!action) return;
  const BYTE flags = state->buttons[index].fsState;
  action->setEnabled(flags & TBSTATE_ENABLED);
  action->setChecked(flags & TBSTATE_CHECKED);
  action->setVisible(!(flags & TBSTATE_HIDDEN));
  if (QToolButton* button = ButtonWidget(toolbar, index)) button->setDown(flags & TBSTATE_PRESSED);
}

// A check group is the run of adjacent group buttons around a button.
void UncheckGroupOthers(HWND toolbar, int index) {
  ToolbarState* state = StateOf(toolbar);
  auto in_group = [state](int i) {
    return i >= 0 && static_cast<size_t>(i) < state->buttons.size() && (state->buttons[i].fsStyle & TBSTYLE_GROUP) &&
           !(state->buttons[i].fsStyle & TBSTYLE_SEP);
  };
  if (!in_group(index)) return;
  for (int step : {-1, 1})
    for (int i = index + step; in_group(i); i += step) {
      state->buttons[i].fsState &= ~TBSTATE_CHECKED;
      Show(toolbar, i);
    }
}

void SetChecked(HWND toolbar, int index, bool checked) {
  ToolbarState* state = StateOf(toolbar);
  if (checked) UncheckGroupOthers(toolbar, index);
  BYTE& flags = state->buttons[index].fsState;
  flags = checked ? (flags | TBSTATE_CHECKED) : (flags & ~TBSTATE_CHECKED);
  Show(toolbar, index);
}

void Click(HWND toolbar, int index) {
  ToolbarState* state = StateOf(toolbar);
  if (!state || index < 0 || static_cast<size_t>(index) >= state->buttons.size()) return;
  const TBBUTTON& button = state->buttons[index];
  if (button.fsStyle & TBSTYLE_CHECK) {
    // A group button stays down when clicked again; a lone check button toggles.
    const bool checked = (button.fsStyle & TBSTYLE_GROUP) || !(button.fsState & TBSTATE_CHECKED);
    SetChecked(toolbar, index, checked);
  } else {
    Show(toolbar, index);
  }
  if (HWND parent = LiveWindow(toolbar->parent))
    PostMessageA(parent, WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED), reinterpret_cast<LPARAM>(toolbar));
}

QIcon ImageAt(const ToolbarState& state, int image) {
  if (state.strip.isNull() || image < 0 || image >= state.image_count) return QIcon();
  const int x = image * state.image_width;
  if (x + state.image_width > state.strip.width()) return QIcon();
  return QIcon(QPixmap::fromImage(state.strip.copy(x, 0, state.image_width, state.image_height)));
}

void AddButtons(HWND toolbar, const TBBUTTON* buttons, int count) {
  ToolbarState* state = StateOf(toolbar);
  auto* bar = qobject_cast<QToolBar*>(toolbar->client.data());
  for (int i = 0; i < count; ++i) {
    const TBBUTTON& button = buttons[i];
    const int index = static_cast<int>(state->buttons.size());
    state->buttons.push_back(button);
    if (button.fsStyle & TBSTYLE_SEP) {
      state->actions.emplace_back(bar->addSeparator());
      continue;
    }
    QAction* action = bar->addAction(ImageAt(*state, button.iBitmap), QString());
    action->setCheckable(button.fsStyle & TBSTYLE_CHECK);
    QObject::connect(action, &QAction::triggered, [toolbar, index] { Click(toolbar, index); });
    state->actions.emplace_back(action);
    if (QWidget* widget = bar->widgetForAction(action))
      widget->installEventFilter(new TipFilter(toolbar, button.idCommand, widget));
    Show(toolbar, index);
  }
}

}  // namespace

QWidget* MakeToolbarWidget(HWND window, QWidget* parent) {
  auto* bar = new QToolBar(parent);
  TagWidget(bar, window);
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setIconSize(QSize(16, 16));
  bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
  bar->setFocusPolicy(Qt::NoFocus);
  window->toolbar = std::make_unique<ToolbarState>();
  return bar;
}

void AlignBar(HWND bar) {
  if (!StateOf(bar) || !bar->client || (bar->style & (CCS_NORESIZE | CCS_NOPARENTALIGN))) return;
  HWND parent = LiveWindow(bar->parent);
  if (!parent || !parent->client) return;
  const int width = parent->client->width();
  const bool bottom = (bar->style & CCS_BOTTOM) == CCS_BOTTOM;
  const int y = bottom ? parent->client->height() - kToolbarHeight : 0;
  bar->client->setGeometry(0, y, width, kToolbarHeight);
}

void AlignChildBars(HWND parent) {
  if (!LiveWindow(parent)) return;
  for (HWND child : parent->children) AlignBar(child);
}

HWND CreateToolbarEx(HWND parent, DWORD style, UINT id, int bitmap_count, HINSTANCE /*bitmap_instance*/,
                     UINT_PTR bitmap_id, LPCTBBUTTON buttons, int button_count, int /*button_width*/,
                     int /*button_height*/, int bitmap_width, int bitmap_height, UINT struct_size) {
  if (!LiveWindow(parent) || struct_size != sizeof(TBBUTTON) || button_count < 0 || button_count > kMaxButtons ||
      (button_count > 0 && !buttons) || bitmap_count < 0)
    return nullptr;
  HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", style | WS_CHILD, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
  if (!toolbar) return nullptr;
  ToolbarState* state = StateOf(toolbar);
  state->image_width = bitmap_width > 0 ? bitmap_width : 16;
  state->image_height = bitmap_height > 0 ? bitmap_height : 16;
  if (const BitmapResource* bitmap = FindBitmapResource(MAKEINTRESOURCEA(bitmap_id))) {
    state->strip = ImageFromResource(bitmap->image);
    const int available = state->strip.isNull() ? 0 : state->strip.width() / state->image_width;
    state->image_count = std::min(bitmap_count, available);
    state->image_height = std::min(state->image_height, state->strip.height());
  }
  AddButtons(toolbar, buttons, button_count);
  AlignBar(toolbar);
  return toolbar;
}

LRESULT ToolbarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  ToolbarState* state = StateOf(window);
  if (!state) return DefWindowProcA(window, message, wparam, lparam);
  const int index = IndexOf(*state, wparam);
  auto set_state = [&](BYTE bit, bool on) {
    if (index < 0) return FALSE;
    BYTE& flags = state->buttons[index].fsState;
    flags = on ? (flags | bit) : (flags & ~bit);
    Show(window, index);
    return TRUE;
  };
  auto has_state = [&](BYTE bit) -> LRESULT { return index >= 0 && (state->buttons[index].fsState & bit); };
  switch (message) {
    case TB_ENABLEBUTTON: return set_state(TBSTATE_ENABLED, LOWORD(lparam) != 0);
    case TB_CHECKBUTTON:
      if (index < 0) return FALSE;
      SetChecked(window, index, LOWORD(lparam) != 0);
      return TRUE;
    case TB_PRESSBUTTON: return set_state(TBSTATE_PRESSED, LOWORD(lparam) != 0);
    case TB_HIDEBUTTON: return set_state(TBSTATE_HIDDEN, LOWORD(lparam) != 0);
    case TB_ISBUTTONENABLED: return has_state(TBSTATE_ENABLED);
    case TB_ISBUTTONCHECKED: return has_state(TBSTATE_CHECKED);
    case TB_ISBUTTONPRESSED: return has_state(TBSTATE_PRESSED);
    case TB_ISBUTTONHIDDEN: return has_state(TBSTATE_HIDDEN);
    case TB_SETSTATE:
      if (index < 0) return FALSE;
      state->buttons[index].fsState = static_cast<BYTE>(LOWORD(lparam));
      Show(window, index);
      return TRUE;
    case TB_GETSTATE: return index < 0 ? -1 : state->buttons[index].fsState;
    case TB_BUTTONCOUNT: return static_cast<LRESULT>(state->buttons.size());
    case TB_COMMANDTOINDEX: return index;
    case TB_BUTTONSTRUCTSIZE: return 0;
    case TB_AUTOSIZE: AlignBar(window); return 0;
    case WM_SYSCOLORCHANGE:
      if (window->client) window->client->update();
      return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
  }
}

std::string RequestToolbarTip(HWND toolbar, int command) {
  HWND parent = StateOf(toolbar) ? LiveWindow(toolbar->parent) : nullptr;
  if (!parent) return std::string();
  TOOLTIPTEXTA tip;
  tip.hdr.hwndFrom = toolbar;
  tip.hdr.idFrom = static_cast<UINT_PTR>(command);
  tip.hdr.code = TTN_NEEDTEXTA;
  tip.lpszText = tip.szText;
  SendMessageA(parent, WM_NOTIFY, toolbar->id, reinterpret_cast<LPARAM>(&tip));
  if (tip.hinst && tip.lpszText && IS_INTRESOURCE(tip.lpszText)) {
    const std::string* text = FindString(LOWORD(reinterpret_cast<uintptr_t>(tip.lpszText)));
    return text ? *text : std::string();
  }
  if (tip.lpszText == tip.szText) return std::string(tip.szText, strnlen(tip.szText, sizeof(tip.szText)));
  return tip.lpszText && !IS_INTRESOURCE(tip.lpszText) ? std::string(tip.lpszText) : std::string();
}

QToolButton* ToolbarButtonOf(HWND toolbar, int command) {
  ToolbarState* state = StateOf(toolbar);
  return state ? ButtonWidget(toolbar, IndexOf(*state, static_cast<WPARAM>(command))) : nullptr;
}

