// Dialogs from templates on Qt's offscreen platform: what the procedure hears, driven
// clicks, radio groups and check boxes, cancelling, and the program's own templates.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <string>
#include <vector>

#include "app/shell.h"
#include "platform/win/qt_access.h"
#include "platform/win/win.h"

namespace {

struct Call {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
std::vector<Call> calls;
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> behaviour;

INT_PTR Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  calls.push_back({message, wparam, lparam});
  return behaviour ? behaviour(dialog, message, wparam, lparam) : FALSE;
}

// Ends the dialog on command `id` with `result`; with no id, on any command with its id.
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> EndOn(int id = 0, INT_PTR result = 0) {
  return [id, result](HWND dialog, UINT message, WPARAM wparam, LPARAM) -> INT_PTR {
    if (message == WM_COMMAND && (!id || id == LOWORD(wparam)))
      EndDialog(dialog, id ? result : LOWORD(wparam));
    return message == WM_COMMAND;
  };
}

std::vector<int> Commands() {
  std::vector<int> ids;
  for (const Call& call : calls)
    if (call.message == WM_COMMAND) ids.push_back(LOWORD(call.wparam));
  return ids;
}

// Two radio groups with a check box between them; WS_GROUP starts each group.
DialogResource Options() {
  using Kind = DialogControlKind;
  DialogResource dialog{"Options", "Options", 0, 0, 200, 120, DS_MODALFRAME | WS_CAPTION | WS_SYSMENU, {}};
  dialog.controls = {{Kind::kDefPushButton, "OK", IDOK, 10, 100, 40, 14},
                     {Kind::kPushButton, "Cancel", IDCANCEL, 60, 100, 40, 14},
                     {Kind::kAutoRadioButton, "Small", 201, 10, 10, 60, 10, WS_GROUP},
                     {Kind::kAutoRadioButton, "Medium", 202, 10, 22, 60, 10},
                     {Kind::kAutoRadioButton, "Large", 203, 10, 34, 60, 10},
                     {Kind::kAutoCheckBox, "Smooth", 301, 10, 50, 60, 10, WS_GROUP},
                     {Kind::kAutoRadioButton, "Red", 401, 100, 10, 60, 10, WS_GROUP},
                     {Kind::kAutoRadioButton, "Blue", 402, 100, 22, 60, 10},
                     {Kind::kCentredText, "Size", 501, 100, 50, 60, 10, WS_GROUP}};
  return dialog;
}

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ResourceSet set;
    set.dialogs.push_back(Options());
    RegisterResources(set);
    calls.clear();
    behaviour = nullptr;
    SetModalResponder({});
  }

  static INT_PTR Run(std::function<void(HWND)> drive, LPCSTR name = "Options", LPARAM init = 0) {
    ModalResponder responder;
    responder.drive_dialog = std::move(drive);
    SetModalResponder(responder);
    return DialogBoxParamA(GetModuleHandleA(nullptr), name, nullptr, Procedure, init);
  }
  static std::string Checks(HWND dialog, std::vector<int> ids) {
    std::string marks;
    for (int id : ids) marks += IsDlgButtonChecked(dialog, id) == BST_CHECKED ? '1' : '0';
    return marks;
  }
};

TEST_F(DialogTest, InitDialogComesFirstAndAClickedButtonEndsItWithTheProceduresValue) {
  behaviour = EndOn(IDOK, 42);
  HWND dialog = nullptr, ok = nullptr;
  const INT_PTR result = Run(
      [&](HWND driven) {
        dialog = driven;
        ok = GetDlgItem(driven, IDOK);
        EnableWindow(GetDlgItem(driven, IDCANCEL), FALSE);
        EXPECT_FALSE(ClickDlgButton(driven, IDCANCEL));  // disabled: no command
        EXPECT_TRUE(ClickDlgButton(driven, IDOK));
        EXPECT_FALSE(ClickDlgButton(driven, 202));  // ended: no longer on screen
      },
      "Options", 1234);
  EXPECT_EQ(result, 42);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].message, WM_INITDIALOG);
  EXPECT_EQ(calls[0].wparam, reinterpret_cast<WPARAM>(ok));
  EXPECT_EQ(calls[0].lparam, 1234);
  EXPECT_EQ(Commands(), std::vector<int>{IDOK});
  EXPECT_EQ(calls[1].wparam, MAKEWPARAM(IDOK, BN_CLICKED));
  EXPECT_EQ(calls[1].lparam, reinterpret_cast<LPARAM>(ok));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(IsWindow(ok));
}

TEST_F(DialogTest, EndDialogDuringInitDialogEndsItBeforeTheDriverRuns) {
  behaviour = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
    return message == WM_INITDIALOG ? EndDialog(dialog, 7) : FALSE;
  };
  bool driven = false;
  EXPECT_EQ(Run([&](HWND) { driven = true; }), 7);
  EXPECT_FALSE(driven);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(DialogTest, AutoRadioButtonsAreExclusiveWithinTheirGroupAndCheckBoxesToggle) {
  behaviour = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
    return message == WM_INITDIALOG ? CheckRadioButton(dialog, 401, 402, 402) : FALSE;
  };
  Run([](HWND dialog) {
    const std::vector<int> radios = {201, 202, 203, 401, 402};
    EXPECT_EQ(Checks(dialog, radios), "00001");
    ClickDlgButton(dialog, 202);
    EXPECT_EQ(Checks(dialog, radios), "01001");
    ClickDlgButton(dialog, 203);
    ClickDlgButton(dialog, 203);  // clicking the checked one keeps it
    EXPECT_EQ(Checks(dialog, radios), "00101");
    ClickDlgButton(dialog, 401);
    EXPECT_EQ(Checks(dialog, radios), "00110");
    CheckRadioButton(dialog, 201, 203, 201);
    EXPECT_EQ(Checks(dialog, radios), "10010");

    ClickDlgButton(dialog, 301);
    EXPECT_EQ(static_cast<UINT>(SendMessageA(GetDlgItem(dialog, 301), BM_GETCHECK, 0, 0)), BST_CHECKED);
    ClickDlgButton(dialog, 301);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 301), BST_UNCHECKED);
    CheckDlgButton(dialog, 301, BST_CHECKED);
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(ClientWidgetOf(GetDlgItem(dialog, 301)))->isChecked());
    CheckDlgButton(dialog, IDOK, BST_CHECKED);  // a push button holds no check
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDOK), BST_UNCHECKED);
  });
  // Every click was heard, then the undriven rest cancelled.
  EXPECT_EQ(Commands(), (std::vector<int>{202, 203, 203, 401, 301, 301, IDCANCEL}));
}

TEST_F(DialogTest, ItemTextsReachTheWidgetsAndAreCutToTheBuffer) {
  Run([](HWND dialog) {
    EXPECT_TRUE(SetDlgItemTextA(dialog, 501, "Width"));
    EXPECT_EQ(qobject_cast<QLabel*>(ClientWidgetOf(GetDlgItem(dialog, 501)))->text(), "Width");
    char text[3];
    EXPECT_EQ(GetDlgItemTextA(dialog, 501, text, sizeof text), 2u);
    EXPECT_STREQ(text, "Wi");
    EXPECT_EQ(GetDlgItemTextA(dialog, 999, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
  });
}

TEST_F(DialogTest, EscapeCloseAndAnUnfinishedRunAllCancelThroughTheProcedure) {
  behaviour = EndOn(IDCANCEL, 99);
  // Undriven on the offscreen platform, the procedure still hears the cancel command.
  EXPECT_EQ(DialogBoxParamA(nullptr, "Options", nullptr, Procedure, 0), 99);
  EXPECT_EQ(Commands(), std::vector<int>{IDCANCEL});
  // Escape, then the close button: the Cancel button's command.
  for (const bool escape : {true, false}) {
    calls.clear();
    HWND cancel = nullptr;
    EXPECT_EQ(Run([&](HWND dialog) {
                cancel = GetDlgItem(dialog, IDCANCEL);
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                escape ? QCoreApplication::sendEvent(FrameWidgetOf(dialog), &key)
                       : FrameWidgetOf(dialog)->close();
                EXPECT_FALSE(ClickDlgButton(dialog, IDOK));  // ended by the user's cancel
              }),
              99);
    ASSERT_EQ(Commands(), std::vector<int>{IDCANCEL});
    for (const Call& call : calls)
      EXPECT_TRUE(call.message != WM_COMMAND || call.lparam == reinterpret_cast<LPARAM>(cancel));
  }
  // A procedure that ignores the cancel command still gets IDCANCEL back.
  behaviour = nullptr;
  EXPECT_EQ(Run([](HWND) {}), IDCANCEL);
}

TEST_F(DialogTest, UnknownTemplatesAndMissingProceduresGiveMinusOne) {
  EXPECT_EQ(DialogBoxParamA(nullptr, "Missing", nullptr, Procedure, 0), -1);
  EXPECT_EQ(DialogBoxA(nullptr, MAKEINTRESOURCEA(77), nullptr, Procedure), -1);
  EXPECT_EQ(DialogBoxA(nullptr, "Options", nullptr, nullptr), -1);
  EXPECT_TRUE(calls.empty());
}

TEST_F(DialogTest, TheDeleteTemplateHasItsButtonsInARowAboveTheHelp) {
  RegisterAppResources();
  behaviour = EndOn();
  const INT_PTR result = Run(
      [](HWND dialog) {
        char caption[32];
        GetWindowTextA(dialog, caption, sizeof caption);
        EXPECT_STREQ(caption, "Delete");
        const std::pair<int, QString> buttons[] = {
            {IDCANCEL, "Cancel Delete"}, {101, "Faces"}, {102, "Points"}};
        int right = 0;
        for (const auto& [id, text] : buttons) {
          auto* button = qobject_cast<QPushButton*>(ClientWidgetOf(GetDlgItem(dialog, id)));
          ASSERT_NE(button, nullptr) << id;
          EXPECT_EQ(button->text(), text);
          EXPECT_GT(button->x(), right);  // left to right, in one row
          EXPECT_EQ(button->y(), ClientWidgetOf(GetDlgItem(dialog, IDCANCEL))->y());
          right = button->geometry().right();
        }
        // Sizes in dialog units: the client is 171 units across, a button 50.
        const QWidget* client = ClientWidgetOf(dialog);
        EXPECT_NEAR(client->width() * 50.0 / 171, ClientWidgetOf(GetDlgItem(dialog, 101))->width(), 2.0);
        const auto boxes = client->findChildren<QGroupBox*>();
        const auto labels = client->findChildren<QLabel*>();
        ASSERT_EQ(boxes.size(), 1);
        ASSERT_EQ(labels.size(), 2);
        EXPECT_EQ(boxes[0]->title(), "Help");
        EXPECT_EQ(labels[0]->text(), "Faces: Delete the faces that have all three corners selected.");
        EXPECT_EQ(labels[1]->text(),
                  "Points: Delete the selected points, and any faces that they belong to.");
        for (const QLabel* label : labels) EXPECT_TRUE(boxes[0]->geometry().contains(label->geometry()));
        EXPECT_GT(boxes[0]->y(), ClientWidgetOf(GetDlgItem(dialog, 101))->geometry().bottom());
        EXPECT_TRUE(ClickDlgButton(dialog, 101));
      },
      MAKEINTRESOURCEA(2));
  EXPECT_EQ(result, 101);
}

}  // namespace
