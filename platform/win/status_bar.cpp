// The status bar: parts with right edges and drawing types, and a simple mode showing
// one text across the bar.
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cstring>
#include <qdrawutil.h>

#include "platform/win/control_state.h"
#include "platform/win/window_record.h"

namespace {

constexpr int kStatusHeight = 22;

StatusBarState* StateOf(HWND window) {
  return LiveWindow(window) && window->status_bar ? window->status_bar.get() : nullptr;
}

class StatusBarWidget : public QWidget {
 public:
  StatusBarWidget(HWND window, QWidget* parent) : QWidget(parent) { TagWidget(this, window); }

 protected:
  void paintEvent(QPaintEvent*) override {
    StatusBarState* state = StateOf(WindowOfWidget(this));
    if (!state) return;
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (state->simple) {
      DrawPart(painter, rect(), state->simple_part.text, SBT_NOBORDERS);
      return;
    }
    int left = 0;
    for (size_t i = 0; i < state->parts.size(); ++i) {
      const int right = state->edges[i] < 0 ? width() : std::min(state->edges[i], width());
      if (right > left) DrawPart(painter, QRect(left, 0, right - left, height()), state->parts[i].text, state->parts[i].type);
      left = std::max(left, right);
    }
  }

 private:
  void DrawPart(QPainter& painter, const QRect& area, const std::string& text, WPARAM type) {
    const QRect inner = area.adjusted(1, 2, -1, -1);
    if (!(type & SBT_NOBORDERS)) qDrawShadePanel(&painter, inner, palette(), !(type & SBT_POPOUT), 1);
    painter.setPen(palette().windowText().color());
    painter.drawText(inner.adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromLocal8Bit(text.c_str()));
  }
};

LRESULT TextResult(const StatusBarState::Part& part) {
  return MAKELRESULT(std::min<size_t>(part.text.size(), 0xFFFF), part.type);
}

}  // namespace

QWidget* MakeStatusBarWidget(HWND window, QWidget* parent) {
  window->status_bar = std::make_unique<StatusBarState>();
  return new StatusBarWidget(window, parent);
}

HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id) {
  if (!LiveWindow(parent) || !parent->client) return nullptr;
  const int width = parent->client->width(), height = parent->client->height();
  return CreateWindowExA(0, STATUSCLASSNAMEA, text, static_cast<DWORD>(style) | WS_CHILD, 0,
                         std::max(height - kStatusHeight, 0), width, kStatusHeight, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

LRESULT StatusBarProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  StatusBarState* state = StateOf(window);
  if (!state) return DefWindowProcA(window, message, wparam, lparam);
  const size_t part = wparam & 0xFF;
  switch (message) {
    case WM_CREATE:
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<LPCSTR>(message == WM_CREATE
                                                      ? reinterpret_cast<LPARAM>(
                                                            reinterpret_cast<CREATESTRUCTA*>(lparam)->lpszName)
                                                      : lparam);
      state->parts[0].text = text ? text : "";
      if (window->client) window->client->update();
      return message == WM_CREATE ? 0 : DefWindowProcA(window, message, wparam, lparam);
    }
    case SB_SETTEXTA: {
      StatusBarState::Part* target = part == SB_SIMPLEID ? &state->simple_part
                                     : part < state->parts.size() ? &state->parts[part]
                                                                  : nullptr;
      if (!target) return FALSE;
      const WPARAM type = wparam & 0xFF00;
      // Owner-drawn parts carry program data, not text.
      const char* text = (type & SBT_OWNERDRAW) || !lparam ? "" : reinterpret_cast<LPCSTR>(lparam);
      // The cursor read-out writes every part on every render pass; repaint only on change.
      if (target->text == text && target->type == type) return TRUE;
      target->text = text;
      target->type = type;
      if (window->client) window->client->update();
      return TRUE;
    }
    case SB_GETTEXTA:
    case SB_GETTEXTLENGTHA: {
      // In simple mode the bar shows (and reports) its simple text.
      const StatusBarState::Part* source = state->simple || part == SB_SIMPLEID ? &state->simple_part
                                           : part < state->parts.size()          ? &state->parts[part]
                                                                                 : nullptr;
      if (!source) return 0;
      if (message == SB_GETTEXTA && lparam) {
        auto* buffer = reinterpret_cast<char*>(lparam);
        std::memcpy(buffer, source->text.c_str(), source->text.size() + 1);
      }
      return TextResult(*source);
    }
    case SB_SETPARTS: {
      const auto* edges = reinterpret_cast<const int*>(lparam);
      if (wparam == 0 || wparam > static_cast<WPARAM>(kStatusMaxParts) || !edges) return FALSE;
      state->edges.assign(edges, edges + wparam);
      state->parts.resize(wparam);
      if (window->client) window->client->update();
      return TRUE;
    }
    case SB_GETPARTS: {
      auto* edges = reinterpret_cast<int*>(lparam);
      if (edges)
        for (size_t i = 0; i < std::min<size_t>(wparam, state->edges.size()); ++i) edges[i] = state->edges[i];
      return static_cast<LRESULT>(state->edges.size());
    }
    case SB_SIMPLE:
      state->simple = wparam != 0;
      if (window->client) window->client->update();
      return 0;
    case SB_ISSIMPLE: return state->simple ? TRUE : FALSE;
    default: return DefWindowProcA(window, message, wparam, lparam);
  }
}
