// The scroll bar control, horizontal or (SBS_VERT) vertical: its Qt widget, its procedure,
// and the user's actions told to the parent as WM_HSCROLL or WM_VSCROLL. The program owns the
// position: a user's action only reports what was asked, and the bar moves when the parent
// sets it.
#include <QScrollBar>
#include <algorithm>

#include "platform/win/window_record.h"

namespace {

QScrollBar* BarOf(HWND window) {
  return LiveWindow(window) ? qobject_cast<QScrollBar*>(window->client.data()) : nullptr;
}

// A bar whose position only the program changes: Qt's own move after each action is put
// back to the position the parent left.
class LayerScrollBar : public QScrollBar {
 public:
  LayerScrollBar(HWND window, QWidget* parent)
      : QScrollBar((window->style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent), window_(window) {
    setPageStep(16);
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { Act(action); });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] { Tell(SB_THUMBPOSITION, sliderPosition()); });
  }
  int position = 0;  // as the program set it

 private:
  // Qt's vertical bar has its minimum at the top, so "up" is Qt's step back, as "left" is;
  // the codes of the two directions are the same numbers.
  void Act(int action) {
    switch (action) {
      case SliderSingleStepSub: Tell(SB_LINELEFT, 0); break;
      case SliderSingleStepAdd: Tell(SB_LINERIGHT, 0); break;
      case SliderPageStepSub: Tell(SB_PAGELEFT, 0); break;
      case SliderPageStepAdd: Tell(SB_PAGERIGHT, 0); break;
      case SliderToMinimum: Tell(SB_LEFT, 0); break;
      case SliderToMaximum: Tell(SB_RIGHT, 0); break;
      case SliderMove: Tell(SB_THUMBTRACK, sliderPosition()); break;
      default: break;
    }
    // Qt applies the action after this signal, from the slider position.
    if (action != SliderMove) setSliderPosition(position);
  }
  void Tell(WORD code, int thumb) {
    const UINT message = orientation() == Qt::Vertical ? WM_VSCROLL : WM_HSCROLL;
    if (LiveWindow(window_) && LiveWindow(window_->parent))
      SendMessageA(window_->parent, message, MAKEWPARAM(code, static_cast<WORD>(thumb)),
                   reinterpret_cast<LPARAM>(window_));
  }
  HWND window_;
};

LayerScrollBar* LayerBarOf(HWND window) { return dynamic_cast<LayerScrollBar*>(BarOf(window)); }

}  // namespace

QWidget* MakeScrollBarWidget(HWND window, QWidget* parent) {
  auto* bar = new LayerScrollBar(window, parent);
  TagWidget(bar, window);
  return bar;
}

LRESULT ScrollBarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  LayerScrollBar* bar = LayerBarOf(window);
  if (!bar) return DefWindowProcA(window, message, wparam, lparam);
  switch (message) {
    case SBM_SETPOS: {
      const int previous = bar->position;
      bar->position = std::clamp(static_cast<int>(wparam), bar->minimum(), bar->maximum());
      const QSignalBlocker quiet(bar);
      bar->setValue(bar->position);
      return previous;
    }
    case SBM_GETPOS: return bar->position;
    case SBM_SETRANGE: {
      const QSignalBlocker quiet(bar);
      bar->setRange(static_cast<int>(wparam), static_cast<int>(lparam));
      bar->position = std::clamp(bar->position, bar->minimum(), bar->maximum());
      bar->setValue(bar->position);
      return 0;
    }
    case SBM_GETRANGE:
      if (wparam) *reinterpret_cast<int*>(wparam) = bar->minimum();
      if (lparam) *reinterpret_cast<int*>(lparam) = bar->maximum();
      return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
  }
}

BOOL SetScrollRange(HWND window, int bar, int min, int max, BOOL /*redraw*/) {
  if (bar != SB_CTL || !LayerBarOf(window)) return FALSE;
  SendMessageA(window, SBM_SETRANGE, static_cast<WPARAM>(min), max);
  return TRUE;
}

int SetScrollPos(HWND window, int bar, int pos, BOOL /*redraw*/) {
  if (bar != SB_CTL || !LayerBarOf(window)) return 0;
  return static_cast<int>(SendMessageA(window, SBM_SETPOS, static_cast<WPARAM>(pos), 0));
}

int GetScrollPos(HWND window, int bar) {
  if (bar != SB_CTL || !LayerBarOf(window)) return 0;
  return static_cast<int>(SendMessageA(window, SBM_GETPOS, 0, 0));
}

BOOL ScrollDlgItem(HWND dialog, int id, WORD code, int position) {
  if (DialogEnded(dialog)) return FALSE;
  return ScrollBarAction(GetDlgItem(dialog, id), code, position);
}

BOOL ScrollBarAction(HWND window, WORD code, int position) {
  LayerScrollBar* bar = LayerBarOf(window);
  if (!bar || !bar->isEnabled()) return FALSE;
  switch (code) {
    case SB_LINELEFT: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case SB_LINERIGHT: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case SB_PAGELEFT: bar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case SB_PAGERIGHT: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case SB_LEFT: bar->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case SB_RIGHT: bar->triggerAction(QAbstractSlider::SliderToMaximum); break;
    case SB_THUMBPOSITION:
    {
      // A drag: the thumb moves, then is let go where it is. It then goes back to where the
      // program keeps it, which is no action of the user's to report.
      bar->setSliderDown(true);
      bar->setSliderPosition(position);
      bar->setSliderDown(false);
      const QSignalBlocker quiet(bar);
      bar->setSliderPosition(bar->position);
      break;
    }
    default: return FALSE;
  }
  return TRUE;
}
