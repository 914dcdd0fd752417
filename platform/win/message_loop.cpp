// The message queue and the calls around it: sending, posting, peeking, waiting,
// dispatching, and the default window procedure.
#include <QApplication>
#include <QEventLoop>
#include <chrono>
#include <deque>

#include "platform/win/window_record.h"

namespace {

struct Queue {
  std::deque<MSG> messages;
  bool quit_posted = false;
  int exit_code = 0;
  DWORD last_time = 0;
};

Queue& TheQueue() {
  static auto* queue = new Queue;
  return *queue;
}

MSG Stamped(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  MSG msg;
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wparam;
  msg.lParam = lparam;
  msg.time = GetTickCount();
  GetCursorPos(&msg.pt);
  return msg;
}

bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
  // (HWND)-1 asks for thread messages only, null for all.
  if (window == reinterpret_cast<HWND>(-1)) {
    if (msg.hwnd) return false;
  } else if (window && msg.hwnd != window) {
    return false;
  }
  if (first == 0 && last == 0) return true;
  return msg.message >= first && msg.message <= last;
}

// A mouse message says where the pointer was, whoever posted it: the pointer is taken to
// be there, as the views read it back.
void NotePointerOf(const MSG& msg) {
  if (msg.message < WM_MOUSEFIRST || msg.message >= WM_MOUSELAST || !msg.hwnd) return;
  POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  if (ClientToScreen(msg.hwnd, &at)) NotePointer(msg.hwnd, at.x, at.y);
}

}  // namespace

void FlushDeferredDeletes() {
  if (qApp) QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PostInputMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  TheQueue().messages.push_back(Stamped(window, message, wparam, lparam));
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!LiveWindow(window) || !window->procedure) return 0;
  return window->procedure(window, message, wparam, lparam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (window && !LiveWindow(window)) return FALSE;
  if (message == WM_QUIT && !window) {
    PostQuitMessage(static_cast<int>(wparam));
    return TRUE;
  }
  PostInputMessage(window, message, wparam, lparam);
  return TRUE;
}

void PostQuitMessage(int exit_code) {
  TheQueue().quit_posted = true;
  TheQueue().exit_code = exit_code;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
  if (!msg) return FALSE;
  if (qApp) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    FlushDeferredDeletes();
  }
  Queue& queue = TheQueue();
  for (auto it = queue.messages.begin(); it != queue.messages.end();) {
    // Messages for windows destroyed since they were queued are dropped.
    if (it->hwnd && !LiveWindow(it->hwnd)) {
      it = queue.messages.erase(it);
      continue;
    }
    if (!Matches(*it, window, first, last)) {
      ++it;
      continue;
    }
    *msg = *it;
    if (remove & PM_REMOVE) {
      queue.messages.erase(it);
      queue.last_time = msg->time;
      NoteRetrievedMessage(*msg);
      NotePointerOf(*msg);
    }
    return TRUE;
  }
  const bool wants_quit = (first == 0 && last == 0) || (WM_QUIT >= first && WM_QUIT <= last);
  if (queue.quit_posted && wants_quit && (!window || window == reinterpret_cast<HWND>(-1))) {
    *msg = Stamped(nullptr, WM_QUIT, static_cast<WPARAM>(queue.exit_code), 0);
    if (remove & PM_REMOVE) queue.quit_posted = false;
    return TRUE;
  }
  return FALSE;
}

BOOL WaitMessage() {
  Queue& queue = TheQueue();
  if (!qApp) return queue.messages.empty() && !queue.quit_posted ? FALSE : TRUE;
  // Input handlers post while Qt runs them, so the queue is looked at after every batch.
  while (queue.messages.empty() && !queue.quit_posted) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    FlushDeferredDeletes();
  }
  return TRUE;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT first, UINT last) {
  if (!msg) return -1;
  while (!PeekMessageA(msg, window, first, last, PM_REMOVE)) {
    if (!qApp) return -1;  // nothing could ever arrive
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  const char typed = CharacterForKey(static_cast<int>(msg->wParam));
  if (!typed) return FALSE;
  const UINT message = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
  PostInputMessage(msg->hwnd, message, static_cast<unsigned char>(typed), msg->lParam);
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg || !msg->hwnd) return 0;
  return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return procedure ? procedure(window, message, wparam, lparam) : 0;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!LiveWindow(window)) return 0;
  switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: return SetTextDefault(window, reinterpret_cast<LPCSTR>(lparam));
    case WM_GETTEXT: return GetTextDefault(window, wparam, reinterpret_cast<LPSTR>(lparam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(window->text.size());
    default: return 0;
  }
}

DWORD GetMessageTime() { return TheQueue().last_time; }

DWORD GetTickCount() {
  using namespace std::chrono;
  return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
