// The window layer on Qt's offscreen platform: messages, input translation, menus,
// accelerators, toolbar, status bar, menu help, message boxes, pointer and presenting.
#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolButton>
#include <QToolTip>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/qt_access.h"
#include "platform/win/win.h"

namespace {

struct Call {
  HWND window;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
std::vector<Call> calls;
// Lets a test answer a message itself; returns true when it did.
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> hook;

LRESULT Recorder(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  calls.push_back({window, message, wparam, lparam});
  LRESULT result = 0;
  if (hook && hook(window, message, wparam, lparam, &result)) return result;
  return DefWindowProcA(window, message, wparam, lparam);
}

std::vector<UINT> MessagesTo(HWND window) {
  std::vector<UINT> result;
  for (const Call& call : calls)
    if (call.window == window) result.push_back(call.message);
  return result;
}

ResourceSet TestResources() {
  ResourceSet set;
  set.menus.push_back({"TestMenu",
                       {{"&File", {{"&New", 201}, {"&Open...", 202}, {"", 0, MF_SEPARATOR}, {"E&xit", 206}}},
                        {"&Edit",
                         {{"U&ndo\tCtrl+Z", 283, MF_GRAYED}, {"&Create", 225, MF_CHECKED}, {"&Edit", 50}}}}});
  set.accelerators.push_back({3, {{FVIRTKEY | FCONTROL, 'Z', 283}, {0, 0x18, 207}}});
  set.strings = {{201, "Clear the current scene, and start over"}, {50, "Edit existing polygons"}};
  set.bitmaps.push_back({58, {64, 16, std::vector<uint32_t>(64 * 16, 0xFF336699), {}}});
  return set;
}

class WinTest : public testing::Test {
 protected:
  void SetUp() override {
    static const WNDCLASSA window_class{.style = CS_DBLCLKS,
                                        .lpfnWndProc = Recorder,
                                        .hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)),
                                        .lpszClassName = "TestWindow"};
    static const bool registered = RegisterClassA(&window_class) != 0;
    ASSERT_TRUE(registered);
    RegisterResources(TestResources());
    Drain();
    calls.clear();
    SetModalResponder({});
  }
  void TearDown() override {
    hook = nullptr;
    for (HWND window : made_) DestroyWindow(window);
    Drain();
  }

  HWND MakeMain(HMENU menu = nullptr) {
    HWND window = CreateWindowExA(0, "TestWindow", "Main", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300, nullptr, menu,
                                  GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOW);
    made_.push_back(window);
    return window;
  }
  HWND MakeChild(HWND parent, int id, int x, int y, int width, int height) {
    return CreateWindowExA(0, "TestWindow", "", WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
  }
  static std::vector<MSG> Drain() {
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) taken.push_back(msg);
    return taken;
  }
  static const MSG* Find(const std::vector<MSG>& messages, UINT message) {
    for (const MSG& msg : messages)
      if (msg.message == message) return &msg;
    return nullptr;
  }
  static HMENU TestMenu() { return LoadMenuA(GetModuleHandleA(nullptr), "TestMenu"); }
  static std::string StatusText(HWND status, int part) {
    char text[128] = {};
    SendMessageA(status, SB_GETTEXT, part, reinterpret_cast<LPARAM>(text));
    return text;
  }
  static void Mouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
                    Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(widget, &event);
  }
  static void Key(HWND window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, const QString& text = {}) {
    QKeyEvent event(type, key, modifiers, text);
    QCoreApplication::sendEvent(ClientWidgetOf(window), &event);
  }

  std::vector<HWND> made_;
};

TEST_F(WinTest, SendIsSynchronousAndReentrantWhilePostedMessagesKeepTheirOrder) {
  HWND window = MakeMain();
  std::vector<int> depths;
  hook = [&](HWND w, UINT message, WPARAM wparam, LPARAM, LRESULT* result) {
    if (message != WM_USER + 1) return false;
    depths.push_back(static_cast<int>(wparam));
    *result = wparam == 0 ? 100 : SendMessageA(w, WM_USER + 1, wparam - 1, 0) + 1;
    return true;
  };
  EXPECT_EQ(SendMessageA(window, WM_USER + 1, 3, 0), 103);
  EXPECT_EQ(depths, (std::vector<int>{3, 2, 1, 0}));

  Drain();
  PostQuitMessage(7);
  for (WPARAM i = 0; i < 3; ++i) PostMessageA(window, WM_USER + 5, i, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, window, WM_USER + 5, WM_USER + 5, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  for (WPARAM i = 0; i < 3; ++i)
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_USER + 5 && msg.wParam == i) << i;
  // The quit message comes only after everything else.
  EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
  EXPECT_EQ(msg.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinTest, MouseInputArrivesInClientCoordinatesWithButtonFlags) {
  HWND main = MakeMain();
  HWND view = MakeChild(main, 1, 10, 20, 100, 80);
  Drain();
  QWidget* widget = ClientWidgetOf(view);
  Mouse(widget, QEvent::MouseButtonPress, {15, 25}, Qt::LeftButton, Qt::ShiftModifier);
  Mouse(widget, QEvent::MouseButtonDblClick, {15, 25}, Qt::LeftButton, Qt::NoModifier);
  Mouse(widget, QEvent::MouseButtonRelease, {-3, 7}, Qt::RightButton, Qt::ControlModifier);

  const std::vector<MSG> messages = Drain();
  const MSG* down = Find(messages, WM_LBUTTONDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_TRUE(down->hwnd == view && down->lParam == MAKELPARAM(15, 25) && down->wParam == (MK_LBUTTON | MK_SHIFT));
  EXPECT_NE(Find(messages, WM_LBUTTONDBLCLK), nullptr);  // the class asked for double clicks
  const MSG* up = Find(messages, WM_RBUTTONUP);
  ASSERT_NE(up, nullptr);
  EXPECT_TRUE(GET_X_LPARAM(up->lParam) == -3 && up->wParam == (MK_LBUTTON | MK_CONTROL));
  EXPECT_TRUE(GetKeyState(VK_CONTROL) & 0x8000);

  POINT pointer;
  GetCursorPos(&pointer);
  const QPoint expected = widget->mapToGlobal(QPoint(-3, 7));
  EXPECT_TRUE(pointer.x == expected.x() && pointer.y == expected.y());
}

TEST_F(WinTest, KeysArriveAsVirtualKeyCodes) {
  HWND main = MakeMain();
  Drain();
  const struct {
    int qt_key;
    int virtual_key;
  } rows[] = {{Qt::Key_Escape, VK_ESCAPE}, {Qt::Key_Left, VK_LEFT}, {Qt::Key_Delete, VK_DELETE}, {Qt::Key_7, '7'}};
  for (const auto& row : rows) {
    Key(main, QEvent::KeyPress, row.qt_key, Qt::NoModifier);
    Key(main, QEvent::KeyRelease, row.qt_key, Qt::NoModifier);
    const std::vector<MSG> messages = Drain();
    ASSERT_EQ(messages.size(), 2u) << row.qt_key;
    EXPECT_TRUE(messages[0].message == WM_KEYDOWN && messages[1].message == WM_KEYUP) << row.qt_key;
    for (const MSG& msg : messages) EXPECT_TRUE(msg.hwnd == main && msg.wParam == WPARAM(row.virtual_key));
  }

  // Held Shift: the state as of the messages taken; Shift itself types nothing.
  Key(main, QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier);
  Key(main, QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, "A");
  std::vector<MSG> messages = Drain();
  EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_FALSE(TranslateMessage(&messages[0]));
  EXPECT_TRUE(TranslateMessage(&messages[1]));
  messages = Drain();
  EXPECT_TRUE(messages.size() == 1u && messages[0].message == WM_CHAR && messages[0].wParam == 'A');
  Key(main, QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
  Drain();
}

TEST_F(WinTest, MenusFromTemplatesKeepMarksAndPostCommands) {
  HWND main = MakeMain(TestMenu());
  HMENU bar = GetMenu(main);
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  HMENU file = GetSubMenu(bar, 0), edit = GetSubMenu(bar, 1);
  char text[64];
  GetMenuStringA(edit, 283, text, sizeof(text), MF_BYCOMMAND);
  EXPECT_STREQ(text, "U&ndo\tCtrl+Z");

  EXPECT_EQ(GetMenuState(bar, 283, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(EnableMenuItem(bar, 283, MF_ENABLED), static_cast<BOOL>(MF_GRAYED));
  EXPECT_EQ(CheckMenuItem(bar, 225, MF_UNCHECKED), MF_CHECKED);
  EXPECT_TRUE(CheckMenuRadioItem(edit, 225, 50, 50, MF_BYCOMMAND));
  EXPECT_FALSE(GetMenuState(bar, 225, MF_BYCOMMAND) & MF_CHECKED);
  // Driver names go in at a position of the first submenu.
  ASSERT_TRUE(InsertMenuA(file, 3, MF_BYPOSITION | MF_STRING, 80, "Software RGB"));
  file = GetSubMenu(GetMenu(main), 0);
  EXPECT_EQ(MenuActionOf(file, 3)->text(), "Software RGB");

  Drain();
  MenuActionOf(file, 3)->trigger();
  MenuActionOf(edit, 2)->trigger();
  const std::vector<MSG> messages = Drain();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_TRUE(messages[0].message == WM_COMMAND && messages[0].hwnd == main);
  EXPECT_TRUE(LOWORD(messages[0].wParam) == 80 && LOWORD(messages[1].wParam) == 50);
  EXPECT_TRUE(MenuActionOf(edit, 2)->isChecked());  // a click does not change the mark
}

TEST_F(WinTest, AcceleratorsSendCommandsUnlessTheItemIsDisabled) {
  HWND main = MakeMain(TestMenu());
  HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(3));
  ASSERT_NE(table, nullptr);
  Drain();
  auto press_ctrl = [&](int qt_key, const QString& text) {
    Key(main, QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    Key(main, QEvent::KeyPress, qt_key, Qt::ControlModifier, text);
    int translated = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (TranslateAcceleratorA(msg.hwnd, table, &msg)) ++translated;
      else TranslateMessage(&msg);
    }
    Key(main, QEvent::KeyRelease, qt_key, Qt::ControlModifier);
    Key(main, QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    Drain();
    return translated;
  };
  auto commands = [&] {
    std::vector<WPARAM> result;
    for (const Call& call : calls)
      if (call.message == WM_COMMAND) result.push_back(call.wparam);
    return result;
  };

  calls.clear();
  EXPECT_EQ(press_ctrl(Qt::Key_Z, "\x1a"), 1);  // Undo is greyed: swallowed
  EXPECT_TRUE(commands().empty());
  EnableMenuItem(GetMenu(main), 283, MF_ENABLED);
  EXPECT_EQ(press_ctrl(Qt::Key_Z, "\x1a"), 1);
  EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(283, 1)}));
  calls.clear();  // the character entry matches the control character Ctrl+X types
  EXPECT_EQ(press_ctrl(Qt::Key_X, "\x18"), 1);
  EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(207, 1)}));
  EXPECT_EQ(press_ctrl(Qt::Key_Q, "\x11"), 0);
}

TEST_F(WinTest, ToolbarStatesGroupsClicksAndTips) {
  HWND main = MakeMain();
  const TBBUTTON buttons[] = {
      {0, 225, TBSTATE_ENABLED, TBSTYLE_CHECKGROUP, {}, 0, 0}, {1, 50, TBSTATE_ENABLED, TBSTYLE_CHECKGROUP, {}, 0, 0},
      {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {}, 0, 0},          {2, 285, TBSTATE_ENABLED, TBSTYLE_CHECK, {}, 0, 0},
      {3, 286, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
  };
  HWND toolbar = CreateToolbarEx(main, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS, 5, 4, GetModuleHandleA(nullptr), 58,
                                 buttons, 5, 0, 0, 16, 16, sizeof(TBBUTTON));
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 5);

  SendMessageA(toolbar, TB_CHECKBUTTON, 225, MAKELPARAM(TRUE, 0));
  EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 225, 0));
  SendMessageA(toolbar, TB_CHECKBUTTON, 50, MAKELPARAM(TRUE, 0));
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 225, 0));  // one per group
  SendMessageA(toolbar, TB_ENABLEBUTTON, 286, MAKELPARAM(FALSE, 0));
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONENABLED, 286, 0));

  Drain();
  ToolbarButtonOf(toolbar, 285)->click();
  EXPECT_TRUE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 285, 0));
  ToolbarButtonOf(toolbar, 225)->click();
  EXPECT_FALSE(SendMessageA(toolbar, TB_ISBUTTONCHECKED, 50, 0));
  const std::vector<MSG> messages = Drain();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].wParam, MAKEWPARAM(225, BN_CLICKED));

  hook = [](HWND, UINT message, WPARAM, LPARAM lparam, LRESULT*) {
    if (message != WM_NOTIFY) return false;
    auto* tip = reinterpret_cast<TOOLTIPTEXTA*>(lparam);
    if (tip->hdr.code != TTN_NEEDTEXT) return false;
    if (tip->hdr.idFrom == 225) std::strcpy(tip->szText, "Create new polygons");
    if (tip->hdr.idFrom == 50) {
      tip->hinst = GetModuleHandleA(nullptr);
      tip->lpszText = const_cast<LPSTR>(MAKEINTRESOURCEA(50));
    }
    return true;
  };
  EXPECT_EQ(RequestToolbarTip(toolbar, 50), "Edit existing polygons");
  QToolButton* button = ToolbarButtonOf(toolbar, 225);
  QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
  QCoreApplication::sendEvent(button, &help);
  EXPECT_EQ(QToolTip::text(), "Create new polygons");
}

TEST_F(WinTest, StatusBarPartsTextsAndSimpleMode) {
  HWND main = MakeMain();
  HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", main, 7);
  ASSERT_NE(status, nullptr);
  char text[64];
  const int edges[] = {100, 150, 200, -1};
  ASSERT_TRUE(SendMessageA(status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges)));
  SendMessageA(status, SB_SETTEXT, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>("Ready"));
  SendMessageA(status, SB_SETTEXT, 2, reinterpret_cast<LPARAM>("y: 0"));
  EXPECT_FALSE(SendMessageA(status, SB_SETTEXT, 4, reinterpret_cast<LPARAM>("none")));
  EXPECT_EQ(HIWORD(SendMessageA(status, SB_GETTEXT, 0, reinterpret_cast<LPARAM>(text))), SBT_NOBORDERS);
  EXPECT_EQ(SendMessageA(status, SB_GETTEXT, 2, reinterpret_cast<LPARAM>(text)), MAKELRESULT(4, 0));

  SendMessageA(status, SB_SIMPLE, TRUE, 0);
  SendMessageA(status, SB_SETTEXT, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>("help"));
  EXPECT_TRUE(SendMessageA(status, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(StatusText(status, 2), "help");
  SendMessageA(status, SB_SIMPLE, FALSE, 0);
  EXPECT_EQ(StatusText(status, 2), "y: 0");
}

TEST_F(WinTest, MessageBoxesAreAnsweredByTheResponderOrTheirDefaultButton) {
  std::string seen;
  ModalResponder responder;
  responder.answer_box = [&](const std::string& caption, const std::string& text, UINT type) {
    seen = caption + "|" + text + "|" + std::to_string(type);
    return IDNO;
  };
  SetModalResponder(responder);
  EXPECT_EQ(MessageBoxA(nullptr, "Save changes?", "Polygon", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seen, "Polygon|Save changes?|" + std::to_string(MB_YESNOCANCEL | MB_ICONQUESTION));

  SetModalResponder({});
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "device is NULL", "D3DRM Example Message", MB_OK), IDOK);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("D3DRM Example Message: device is NULL"), std::string::npos);
  testing::internal::CaptureStderr();
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  testing::internal::GetCapturedStderr();
}

TEST_F(WinTest, PointerCapture) {
  HWND main = MakeMain();
  HWND view = MakeChild(main, 1, 0, 0, 50, 50);
  EXPECT_EQ(SetCapture(view), nullptr);
  EXPECT_EQ(GetCapture(), view);
  EXPECT_EQ(SetCapture(main), view);
  EXPECT_EQ(MessagesTo(view).back(), WM_CAPTURECHANGED);
  ReleaseCapture();
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinTest, PresentedPixelsShowInTheWindowAndRepaintFromWmPaint) {
  HWND main = MakeMain();
  HWND view = MakeChild(main, 1, 0, 0, 40, 30);
  std::vector<uint32_t> pixels(4 * 3, 0xFF000000);
  pixels[1 * 4 + 2] = 0x00112233;  // alpha is ignored
  int paints = 0;
  hook = [&](HWND window, UINT message, WPARAM, LPARAM, LRESULT*) {
    if (message != WM_PAINT || window != view) return false;
    ++paints;
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    // As a device does on WM_PAINT: present the last image again.
    PresentToWindow(window, pixels.data(), 4, 3);
    EndPaint(window, &paint);
    return true;
  };
  PresentToWindow(view, pixels.data(), 4, 3);
  const QImage shown = ClientWidgetOf(view)->grab().toImage();
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(shown.pixel(2, 1), 0xFF112233u);
}

TEST_F(WinTest, QtWindowEventsBecomeQueuedMessages) {
  HWND main = MakeMain();
  HWND toolbar = CreateToolbarEx(main, WS_CHILD | WS_VISIBLE, 5, 0, nullptr, 58, nullptr, 0, 0, 0, 16, 16,
                                 sizeof(TBBUTTON));
  ASSERT_NE(toolbar, nullptr);
  Drain();
  calls.clear();

  // A resize by the window system is reported once, through the queue.
  FrameWidgetOf(main)->resize(500, 350);
  EXPECT_TRUE(MessagesTo(main).empty());
  std::vector<MSG> messages = Drain();
  const MSG* size = Find(messages, WM_SIZE);
  ASSERT_NE(size, nullptr);
  EXPECT_EQ(size->lParam, MAKELPARAM(500, 350));

  // Closing asks the program; the default procedure then destroys the window.
  FrameWidgetOf(main)->close();
  messages = Drain();
  const MSG* close = Find(messages, WM_CLOSE);
  ASSERT_NE(close, nullptr);
  EXPECT_TRUE(IsWindow(main));
  DispatchMessageA(close);
  EXPECT_FALSE(IsWindow(main));
  made_.clear();
  PostMessageA(main, WM_USER, 0, 0);
  EXPECT_TRUE(Drain().empty());  // nothing reaches a destroyed window
}

TEST_F(WinTest, MenuSelectCarriesItemFlagsAndMenuHelpShowsItsStringUntilTheMenuCloses) {
  HWND main = MakeMain(TestMenu());
  HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready", main, 7);
  HMENU bar = GetMenu(main), file = GetSubMenu(bar, 0), edit = GetSubMenu(bar, 1);
  UINT ids[2] = {0, 0};
  std::vector<Call> selects;
  hook = [&](HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT*) {
    if (message != WM_MENUSELECT) return false;
    selects.push_back({window, message, wparam, lparam});
    MenuHelp(message, wparam, lparam, bar, GetModuleHandleA(nullptr), status, ids);
    return true;
  };
  MenuActionOf(file, 0)->hover();
  EXPECT_TRUE(SendMessageA(status, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(StatusText(status, 0), "Clear the current scene, and start over");
  MenuActionOf(edit, 0)->hover();  // Undo: greyed, and no string for 283
  EXPECT_EQ(StatusText(status, 0), "");
  MenuActionOf(bar, 1)->hover();  // the Edit popup
  ASSERT_EQ(selects.size(), 3u);
  EXPECT_EQ(selects[1].wparam, MAKEWPARAM(283, MF_GRAYED | MF_HILITE | MF_MOUSESELECT));
  EXPECT_TRUE(HIWORD(selects[2].wparam) & MF_POPUP);

  calls.clear();
  QMenu* popup = PopupWidgetOf(edit);
  ASSERT_NE(popup, nullptr);
  popup->popup(QPoint(10, 10));
  ASSERT_FALSE(calls.empty());
  EXPECT_TRUE(calls[0].message == WM_INITMENUPOPUP && calls[0].wparam == reinterpret_cast<WPARAM>(edit));
  popup->hide();
  // Closing says so with an item of 0 and flags of 0xFFFF; the status bar comes back.
  EXPECT_TRUE(calls.back().message == WM_MENUSELECT && calls.back().lparam == 0 &&
              calls.back().wparam == MAKEWPARAM(0, 0xFFFF));
  EXPECT_FALSE(SendMessageA(status, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(StatusText(status, 0), "Ready");
}

}  // namespace
