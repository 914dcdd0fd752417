// Dialogs from templates on Qt's offscreen platform: what the procedure hears, driven
// clicks, radio groups and check boxes, lists and edit boxes, cancelling, and the
// program's own templates.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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

// The WPARAMs of the commands heard: the id, and the notification code above it.
std::vector<WPARAM> Commands() {
  std::vector<WPARAM> commands;
  for (const Call& call : calls)
    if (call.message == WM_COMMAND) commands.push_back(call.wparam);
  return commands;
}

template <typename Widget = QWidget>
Widget* Item(HWND dialog, int id) {
  return qobject_cast<Widget*>(ClientWidgetOf(GetDlgItem(dialog, id)));
}

DialogResource Controls() {
  using Kind = DialogControlKind;
  DialogResource dialog{"Controls", "Controls", 0, 0, 200, 120, DS_MODALFRAME | WS_CAPTION | WS_SYSMENU, {}};
  // Two radio groups with a check box between them; WS_GROUP starts each group. Lists
  // sorted and in order of adding, and an edit box.
  dialog.controls = {{Kind::kDefPushButton, "OK", IDOK, 10, 100, 40, 14},
                     {Kind::kPushButton, "Cancel", IDCANCEL, 60, 100, 40, 14},
                     {Kind::kAutoRadioButton, "Small", 201, 10, 10, 60, 10, WS_GROUP},
                     {Kind::kAutoRadioButton, "Medium", 202, 10, 22, 60, 10},
                     {Kind::kAutoRadioButton, "Large", 203, 10, 34, 60, 10},
                     {Kind::kAutoCheckBox, "Smooth", 301, 10, 50, 60, 10, WS_GROUP},
                     {Kind::kAutoRadioButton, "Red", 401, 100, 10, 60, 10, WS_GROUP},
                     {Kind::kAutoRadioButton, "Blue", 402, 100, 22, 60, 10},
                     {Kind::kCentredText, "Size", 501, 100, 50, 60, 10, WS_GROUP},
                     {Kind::kDropDownList, "", 601, 10, 70, 80, 60, CBS_SORT},
                     {Kind::kListBox, "", 602, 100, 70, 40, 20, LBS_SORT | LBS_NOTIFY},
                     {Kind::kListBox, "", 603, 150, 70, 40, 20},
                     {Kind::kEdit, "1", 604, 100, 100, 80, 12, ES_AUTOHSCROLL}};
  return dialog;
}

class DialogTest : public testing::Test {
 protected:
  void SetUp() override {
    ResourceSet set;
    set.dialogs = {Controls()};
    RegisterResources(set);
    calls.clear();
    behaviour = nullptr;
    SetModalResponder({});
  }

  static INT_PTR Run(std::function<void(HWND)> drive, LPCSTR name = "Controls", LPARAM init = 0) {
    ModalResponder responder;
    responder.drive_dialog = std::move(drive);
    SetModalResponder(responder);
    return DialogBoxParamA(GetModuleHandleA(nullptr), name, nullptr, Procedure, init);
  }
  static LRESULT Send(HWND dialog, int id, UINT message, WPARAM wparam = 0, const char* text = nullptr) {
    return SendDlgItemMessageA(dialog, id, message, wparam, reinterpret_cast<LPARAM>(text));
  }
  static std::string ItemText(HWND dialog, int id, UINT get, int index) {
    char text[64] = {};
    return SendDlgItemMessageA(dialog, id, get, index, reinterpret_cast<LPARAM>(text)) < 0 ? "(none)" : text;
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
      "Controls", 1234);
  EXPECT_EQ(result, 42);
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].message, WM_INITDIALOG);
  EXPECT_EQ(calls[0].wparam, reinterpret_cast<WPARAM>(ok));
  EXPECT_EQ(calls[0].lparam, 1234);
  EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(IDOK, BN_CLICKED)});
  EXPECT_EQ(calls[1].lparam, reinterpret_cast<LPARAM>(ok));
  EXPECT_FALSE(IsWindow(dialog));
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
    EXPECT_EQ(IsDlgButtonChecked(dialog, 301), BST_CHECKED);
    ClickDlgButton(dialog, 301);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 301), BST_UNCHECKED);
    CheckDlgButton(dialog, 301, BST_CHECKED);
    EXPECT_TRUE(Item<QAbstractButton>(dialog, 301)->isChecked());
    CheckDlgButton(dialog, IDOK, BST_CHECKED);  // a push button holds no check
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDOK), BST_UNCHECKED);
  });
  // Every click was heard, then the undriven rest cancelled.
  EXPECT_EQ(Commands(), (std::vector<WPARAM>{202, 203, 203, 401, 301, 301, IDCANCEL}));
}

TEST_F(DialogTest, EscapeCloseAndAnUnfinishedRunAllCancelThroughTheProcedure) {
  behaviour = EndOn(IDCANCEL, 99);
  // Undriven on the offscreen platform, the procedure still hears the cancel command.
  EXPECT_EQ(DialogBoxParamA(nullptr, "Controls", nullptr, Procedure, 0), 99);
  EXPECT_EQ(Commands(), std::vector<WPARAM>{IDCANCEL});
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
    ASSERT_EQ(Commands(), std::vector<WPARAM>{IDCANCEL});
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
  EXPECT_EQ(DialogBoxA(nullptr, "Controls", nullptr, nullptr), -1);
  EXPECT_TRUE(calls.empty());
}

TEST_F(DialogTest, SortedListsOrderTextsWithoutRegardToCaseAndSelectOnlyWhenAsked) {
  Run([](HWND dialog) {
    for (const char* text : {"sphere", "Cube", "cylinder", "Plane"}) Send(dialog, 601, CB_ADDSTRING, 0, text);
    EXPECT_EQ(Send(dialog, 601, CB_ADDSTRING, 0, "cone"), 0);
    EXPECT_EQ(Send(dialog, 602, LB_ADDSTRING, 0, "8"), 0);
    EXPECT_EQ(Send(dialog, 602, LB_ADDSTRING, 0, "16"), 0);  // texts, not numbers
    EXPECT_EQ(Send(dialog, 603, LB_ADDSTRING, 0, "b"), 0);
    EXPECT_EQ(Send(dialog, 603, LB_ADDSTRING, 0, "a"), 1);  // unsorted: in order of adding
    std::string order;
    for (int i = 0; i < Send(dialog, 601, CB_GETCOUNT); ++i)
      order += ItemText(dialog, 601, CB_GETLBTEXT, i) + ",";
    EXPECT_EQ(order, "cone,Cube,cylinder,Plane,sphere,");
    EXPECT_EQ(Send(dialog, 601, CB_GETLBTEXTLEN, 3), 5);
    EXPECT_EQ(ItemText(dialog, 601, CB_GETLBTEXT, 5), "(none)");
    EXPECT_EQ(Send(dialog, 601, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(Send(dialog, 602, LB_GETCURSEL), LB_ERR);

    EXPECT_EQ(Send(dialog, 601, CB_SETCURSEL, 3), 3);
    char text[16];
    GetDlgItemTextA(dialog, 601, text, sizeof text);
    EXPECT_STREQ(text, "Plane");                            // a drop-down list's text is its selection's
    EXPECT_EQ(Send(dialog, 601, CB_SETCURSEL, 9), CB_ERR);  // out of range clears the selection
    EXPECT_EQ(Send(dialog, 601, CB_GETCURSEL), CB_ERR);

    // A list box: one selection, which LB_SETSEL replaces, and none after a reset.
    EXPECT_EQ(SendDlgItemMessageA(dialog, 603, LB_SETSEL, TRUE, 0), LB_OKAY);
    SendDlgItemMessageA(dialog, 603, LB_SETSEL, TRUE, 1);
    EXPECT_EQ(std::vector<LRESULT>({Send(dialog, 603, LB_GETSEL, 0), Send(dialog, 603, LB_GETSEL, 1),
                                    Send(dialog, 603, LB_GETSEL, 2)}),
              std::vector<LRESULT>({0, 1, LB_ERR}));
    SendDlgItemMessageA(dialog, 603, LB_SETSEL, FALSE, 1);
    EXPECT_EQ(Send(dialog, 603, LB_GETCURSEL), LB_ERR);
    Send(dialog, 603, LB_SETCURSEL, 0);
    Send(dialog, 603, LB_RESETCONTENT);
    Send(dialog, 603, LB_ADDSTRING, 0, "c");
    EXPECT_EQ(Send(dialog, 603, LB_GETCOUNT), 1);
    EXPECT_EQ(Send(dialog, 603, LB_GETCURSEL), LB_ERR);
    EXPECT_TRUE(Item<QListWidget>(dialog, 603)->selectedItems().isEmpty());
  });
}

TEST_F(DialogTest, SelectStringTakesTheFirstPrefixMatchAfterTheStartAndWrapsRound) {
  Run([](HWND dialog) {
    for (const char* text : {"Cube", "Cone", "Cylinder", "Sphere"}) Send(dialog, 601, CB_ADDSTRING, 0, text);
    struct Row {
      int start;
      const char* prefix;
      LRESULT found;
    };
    // Sorted: Cone 0, Cube 1, Cylinder 2, Sphere 3.
    for (const Row& row : {Row{-1, "c", 0}, Row{0, "C", 1}, Row{2, "co", 0}, Row{2, "CYL", 2}, Row{9, "s", 3},
                           Row{-1, "", 0}, Row{1, "cubes", CB_ERR}}) {
      const auto start = static_cast<WPARAM>(row.start);
      EXPECT_EQ(Send(dialog, 601, CB_FINDSTRING, start, row.prefix), row.found) << row.start << row.prefix;
      Send(dialog, 601, CB_SETCURSEL, 3);
      EXPECT_EQ(Send(dialog, 601, CB_SELECTSTRING, start, row.prefix), row.found);
      EXPECT_EQ(Send(dialog, 601, CB_GETCURSEL), row.found == CB_ERR ? 3 : row.found);  // a miss keeps it
    }
  });
}

TEST_F(DialogTest, SelectionChangesAreNotifiedWhenTheUserMakesThemOnly) {
  Run([&](HWND dialog) {
    for (int id : {601, 602, 603})
      for (const char* text : {"Cube", "Sphere"})
        Send(dialog, id, id == 601 ? CB_ADDSTRING : LB_ADDSTRING, 0, text);
    Send(dialog, 601, CB_SETCURSEL, 1);
    Send(dialog, 601, CB_SELECTSTRING, static_cast<WPARAM>(-1), "c");
    Send(dialog, 602, LB_SETCURSEL, 1);
    SendDlgItemMessageA(dialog, 602, LB_SETSEL, TRUE, 0);
    EXPECT_TRUE(Commands().empty());

    EXPECT_TRUE(SelectDlgComboItem(dialog, 601, "Sphere"));
    EXPECT_TRUE(SelectDlgComboItem(dialog, 601, "Sphere"));  // the same pick again changes nothing
    EXPECT_FALSE(SelectDlgComboItem(dialog, 601, "sphere"));
    EXPECT_TRUE(SelectDlgListItem(dialog, 602, "Sphere"));
    EXPECT_TRUE(SelectDlgListItem(dialog, 603, "Cube"));  // without LBS_NOTIFY: selected, unheard
    EXPECT_EQ(Send(dialog, 601, CB_GETCURSEL), 1);
    EXPECT_EQ(Send(dialog, 602, LB_GETCURSEL), 1);
    EXPECT_EQ(Send(dialog, 603, LB_GETCURSEL), 0);
  });
  EXPECT_EQ(Commands(),
            (std::vector<WPARAM>{MAKEWPARAM(601, CBN_SELCHANGE), MAKEWPARAM(602, LBN_SELCHANGE), IDCANCEL}));
}

TEST_F(DialogTest, ItemTextsAreCutToTheBufferAndEditBoxesTellOfEveryChange) {
  Run([](HWND dialog) {
    EXPECT_TRUE(SetDlgItemTextA(dialog, 501, "Width"));
    EXPECT_EQ(Item<QLabel>(dialog, 501)->text(), "Width");
    auto* edit = Item<QLineEdit>(dialog, 604);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "1");
    SetDlgItemTextA(dialog, 604, "0.5");
    EXPECT_TRUE(TypeDlgItemText(dialog, 604, "2.5"));  // one change per key, the first replacing all
    char text[3];
    EXPECT_EQ(GetDlgItemTextA(dialog, 604, text, sizeof text), 2u);
    EXPECT_STREQ(text, "2.");
    EXPECT_EQ(GetDlgItemTextA(dialog, 999, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(TypeDlgItemText(dialog, 604, ""));
    EXPECT_EQ(GetWindowTextLengthA(GetDlgItem(dialog, 604)), 0);
    EnableWindow(GetDlgItem(dialog, 604), FALSE);
    EXPECT_FALSE(TypeDlgItemText(dialog, 604, "3"));
    EXPECT_FALSE(TypeDlgItemText(dialog, 601, "3"));  // not an edit box
  });
  std::vector<WPARAM> expected(5, MAKEWPARAM(604, EN_CHANGE));
  expected.push_back(IDCANCEL);
  EXPECT_EQ(Commands(), expected);
}

// The caption, then the texts of the labels, group boxes and push buttons in template order.
QStringList Texts(HWND dialog) {
  char caption[32] = {};
  GetWindowTextA(dialog, caption, sizeof caption);
  QStringList all{caption};
  for (const QWidget* widget : ClientWidgetOf(dialog)->findChildren<QWidget*>()) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) all << label->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) all << box->title();
    if (const auto* button = qobject_cast<const QPushButton*>(widget)) all << button->text();
  }
  return all;
}

TEST_F(DialogTest, TheProgramsTemplatesHoldTheirControlsAndTexts) {
  RegisterAppResources();
  behaviour = EndOn();
  const auto delete_dialog = [](HWND dialog) {
    EXPECT_EQ(Texts(dialog),
              QStringList({"Delete", "Cancel Delete", "Faces", "Points", "Help",
                           "Faces: Delete the faces that have all three corners selected.",
                           "Points: Delete the selected points, and any faces that they belong to."}));
    // The buttons left to right in one row, above the Help box that holds the labels.
    int right = 0;
    for (int id : {IDCANCEL, 101, 102}) {
      EXPECT_GT(Item(dialog, id)->x(), right);
      EXPECT_EQ(Item(dialog, id)->y(), Item(dialog, IDCANCEL)->y());
      right = Item(dialog, id)->geometry().right();
    }
    const auto* help = ClientWidgetOf(dialog)->findChild<QGroupBox*>();
    EXPECT_GT(help->y(), Item(dialog, 101)->geometry().bottom());
    for (const QLabel* label : ClientWidgetOf(dialog)->findChildren<QLabel*>())
      EXPECT_TRUE(help->geometry().contains(label->geometry()));
    // Sizes in dialog units: the client is 171 units across, a button 50.
    EXPECT_NEAR(ClientWidgetOf(dialog)->width() * 50.0 / 171, Item(dialog, 101)->width(), 2.0);
    EXPECT_TRUE(ClickDlgButton(dialog, 101));
  };
  EXPECT_EQ(Run(delete_dialog, MAKEINTRESOURCEA(2)), 101);
  calls.clear();
  Run(
      [&](HWND dialog) {
        EXPECT_EQ(Texts(dialog), QStringList({"Create Shape", "Shape", "Segments", "Scale",
                                              "X:", "Y:", "Z:", "OK", "Cancel"}));
        EXPECT_TRUE(Item<QPushButton>(dialog, IDOK)->isDefault());
        for (int id : {103, 104, 105}) EXPECT_NE(Item<QLineEdit>(dialog, id), nullptr) << id;
        // Both lists sort; the list box notifies.
        for (const char* text : {"b", "A"}) {
          Send(dialog, 101, CB_ADDSTRING, 0, text);
          Send(dialog, 102, LB_ADDSTRING, 0, text);
        }
        EXPECT_EQ(ItemText(dialog, 101, CB_GETLBTEXT, 0), "A");
        EXPECT_EQ(ItemText(dialog, 102, LB_GETTEXT, 0), "A");
        SelectDlgListItem(dialog, 102, "b");
        EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(102, LBN_SELCHANGE)});
      },
      MAKEINTRESOURCEA(8));

  EXPECT_EQ(Run(
                [&](HWND dialog) {
                  EXPECT_EQ(Texts(dialog), QStringList({"Replace File", "File exists, replace existing file?",
                                                        "YES", "Cancel"}));
                  ClickDlgButton(dialog, IDOK);
                },
                MAKEINTRESOURCEA(11)),
            IDOK);
}

}  // namespace
