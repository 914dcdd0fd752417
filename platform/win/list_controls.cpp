// The controls that hold a list of strings, the combo box (as a drop-down list) and the
// list box with a single selection: their Qt widgets, the one procedure both answer with,
// and the driver's picks.
#include <strings.h>

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>
#include <cstring>

#include "platform/win/window_record.h"

namespace {

// Sorted lists order their texts as the platform does, without regard to case.
bool SortsBefore(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; }

// The items of either control. The widget holds them; every change made here is the
// program's, so the widget's signals stay blocked and nothing reaches the parent as the
// user's doing.
class Items {
 public:
  explicit Items(HWND window)
      : combo_(qobject_cast<QComboBox*>(window->client.data())),
        list_(qobject_cast<QListWidget*>(window->client.data())),
        sorted_(window->style & (combo_ ? CBS_SORT : LBS_SORT)) {}

  bool Valid() const { return combo_ || list_; }
  int Count() const { return combo_ ? combo_->count() : list_->count(); }
  bool Has(int index) const { return index >= 0 && index < Count(); }
  std::string Text(int index) const {
    const QString text = combo_ ? combo_->itemText(index) : list_->item(index)->text();
    return text.toLocal8Bit().toStdString();
  }
  int Selected() const {
    if (combo_) return combo_->currentIndex();
    const QModelIndexList rows = list_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
  }

  // A sorted list puts the text after those that sort before it or equal to it.
  int Add(const char* text) {
    int index = sorted_ ? 0 : Count();
    while (index < Count() && !SortsBefore(text, Text(index))) ++index;
    const QString shown = QString::fromLocal8Bit(text);
    if (combo_) {
      const QSignalBlocker quiet(combo_);
      const bool none = combo_->currentIndex() < 0;
      combo_->insertItem(index, shown);
      if (none) combo_->setCurrentIndex(-1);  // Qt selects the first item added; the platform selects none
    } else {
      const QSignalBlocker quiet(list_);
      list_->insertItem(index, shown);
    }
    return index;
  }
  void Clear() {
    if (combo_) {
      const QSignalBlocker quiet(combo_);
      combo_->clear();
    } else {
      const QSignalBlocker quiet(list_);
      list_->clear();
    }
  }
  // -1 selects nothing.
  void Select(int index) {
    if (combo_) {
      const QSignalBlocker quiet(combo_);
      combo_->setCurrentIndex(index);
    } else {
      const QSignalBlocker quiet(list_);
      if (index < 0)
        list_->clearSelection();
      else
        list_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    }
  }

  // The first item after `start` whose text begins with the prefix, whatever the case,
  // wrapping round so that `start` itself comes last; -1 (or any index outside the list)
  // searches from the top.
  int Find(int start, const char* prefix) const {
    const int count = Count();
    if (!Has(start)) start = -1;
    const size_t length = std::strlen(prefix);
    for (int step = 1; step <= count; ++step) {
      const int index = (start + step) % count;
      if (strncasecmp(Text(index).c_str(), prefix, length) == 0) return index;
    }
    return -1;
  }

 private:
  QComboBox* combo_;
  QListWidget* list_;
  bool sorted_;
};

enum class Op {
  kAdd,
  kReset,
  kCount,
  kGetCurrent,
  kSetCurrent,
  kSelectString,
  kFindString,
  kGetText,
  kTextLength,
  kGetSel,
  kSetSel
};
struct ListMessage {
  UINT message;
  WindowKind kind;
  Op op;
};
constexpr ListMessage kListMessages[] = {
    {CB_ADDSTRING, WindowKind::kComboBox, Op::kAdd},
    {CB_RESETCONTENT, WindowKind::kComboBox, Op::kReset},
    {CB_GETCOUNT, WindowKind::kComboBox, Op::kCount},
    {CB_GETCURSEL, WindowKind::kComboBox, Op::kGetCurrent},
    {CB_SETCURSEL, WindowKind::kComboBox, Op::kSetCurrent},
    {CB_SELECTSTRING, WindowKind::kComboBox, Op::kSelectString},
    {CB_FINDSTRING, WindowKind::kComboBox, Op::kFindString},
    {CB_GETLBTEXT, WindowKind::kComboBox, Op::kGetText},
    {CB_GETLBTEXTLEN, WindowKind::kComboBox, Op::kTextLength},
    {LB_ADDSTRING, WindowKind::kListBox, Op::kAdd},
    {LB_RESETCONTENT, WindowKind::kListBox, Op::kReset},
    {LB_GETCOUNT, WindowKind::kListBox, Op::kCount},
    {LB_GETCURSEL, WindowKind::kListBox, Op::kGetCurrent},
    {LB_SETCURSEL, WindowKind::kListBox, Op::kSetCurrent},
    {LB_GETTEXT, WindowKind::kListBox, Op::kGetText},
    {LB_GETTEXTLEN, WindowKind::kListBox, Op::kTextLength},
    {LB_GETSEL, WindowKind::kListBox, Op::kGetSel},
    {LB_SETSEL, WindowKind::kListBox, Op::kSetSel},
};

const ListMessage* Lookup(HWND window, UINT message) {
  for (const ListMessage& row : kListMessages)
    if (row.message == message && row.kind == window->window_class->kind) return &row;
  return nullptr;
}

constexpr LRESULT kError = -1;  // CB_ERR and LB_ERR alike

// Item arguments travel as WPARAM or LPARAM; -1 comes back as -1.
int IndexOf(uintptr_t argument) { return static_cast<int>(static_cast<intptr_t>(argument)); }

LRESULT SetCurrent(Items& items, bool combo, int index) {
  if (items.Has(index)) {
    items.Select(index);
    return index;
  }
  // A combo box drops its selection for any index it cannot select; a list box only for -1.
  if (combo || index == -1) items.Select(-1);
  return kError;
}

// A single selection: selecting an item replaces it, deselecting the selected one leaves none.
LRESULT SetSel(Items& items, bool on, int index) {
  if (index == -1 && !on) {
    items.Select(-1);
    return LB_OKAY;
  }
  if (!items.Has(index)) return kError;
  if (on)
    items.Select(index);
  else if (items.Selected() == index)
    items.Select(-1);
  return LB_OKAY;
}

LRESULT Perform(HWND window, Op op, WPARAM wparam, LPARAM lparam) {
  Items items(window);
  if (!items.Valid()) return kError;
  const char* text = reinterpret_cast<const char*>(lparam);
  switch (op) {
    case Op::kAdd:
      return text ? items.Add(text) : kError;
    case Op::kReset:
      items.Clear();
      return CB_OKAY;
    case Op::kCount:
      return items.Count();
    case Op::kGetCurrent:
      return items.Selected() >= 0 ? items.Selected() : kError;
    case Op::kSetCurrent:
      return SetCurrent(items, window->window_class->kind == WindowKind::kComboBox, IndexOf(wparam));
    case Op::kSelectString:
    case Op::kFindString: {
      const int found = text && items.Count() ? items.Find(IndexOf(wparam), text) : -1;
      if (found < 0) return kError;
      if (op == Op::kSelectString) items.Select(found);
      return found;
    }
    case Op::kGetText: {
      const int index = IndexOf(wparam);
      char* buffer = reinterpret_cast<char*>(lparam);
      if (!items.Has(index) || !buffer) return kError;
      const std::string item = items.Text(index);
      std::memcpy(buffer, item.c_str(), item.size() + 1);
      return static_cast<LRESULT>(item.size());
    }
    case Op::kTextLength:
      return items.Has(IndexOf(wparam)) ? static_cast<LRESULT>(items.Text(IndexOf(wparam)).size()) : kError;
    case Op::kGetSel:
      return items.Has(IndexOf(wparam)) ? (items.Selected() == IndexOf(wparam) ? 1 : 0) : kError;
    case Op::kSetSel:
      return SetSel(items, wparam != 0, IndexOf(lparam));
  }
  return kError;
}

template <typename Widget>
Widget* WidgetOf(HWND dialog, int id) {
  if (DialogEnded(dialog)) return nullptr;  // no longer on screen
  HWND item = GetDlgItem(dialog, id);
  auto* widget = item ? qobject_cast<Widget*>(item->client.data()) : nullptr;
  return widget && widget->isEnabled() ? widget : nullptr;
}

}  // namespace

QWidget* MakeComboBoxWidget(HWND window, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  TagWidget(combo, window);
  // The height a template gives includes the dropped list, which Qt sizes itself: the
  // closed box keeps its own height.
  combo->setFixedHeight(combo->sizeHint().height());
  // The program's changes are made with the signals blocked, so what arrives is the user's.
  QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [window] {
    if (LiveWindow(window)) NotifyParent(window, CBN_SELCHANGE);
  });
  return combo;
}

QWidget* MakeListBoxWidget(HWND window, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  TagWidget(list, window);
  QObject::connect(list, &QListWidget::itemSelectionChanged, list, [window] {
    if (LiveWindow(window) && (window->style & LBS_NOTIFY)) NotifyParent(window, LBN_SELCHANGE);
  });
  return list;
}

LRESULT ListControlProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (const ListMessage* row = Lookup(window, message)) return Perform(window, row->op, wparam, lparam);
  // A drop-down list's text is that of its selection.
  if ((message == WM_GETTEXT || message == WM_GETTEXTLENGTH) &&
      window->window_class->kind == WindowKind::kComboBox) {
    const Items items(window);
    window->text = items.Valid() && items.Selected() >= 0 ? items.Text(items.Selected()) : std::string();
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

BOOL SelectDlgComboItem(HWND dialog, int id, const char* text) {
  auto* combo = WidgetOf<QComboBox>(dialog, id);
  const int index = combo && text ? combo->findText(QString::fromLocal8Bit(text)) : -1;
  if (index < 0) return FALSE;
  // A pick in the dropped list ends here, with the signals open: the change reaches the
  // parent as the user's, and picking the selected item again changes nothing.
  combo->setCurrentIndex(index);
  return TRUE;
}

BOOL SelectDlgListItem(HWND dialog, int id, const char* text) {
  auto* list = WidgetOf<QListWidget>(dialog, id);
  if (!list || !text) return FALSE;
  const QList<QListWidgetItem*> found =
      list->findItems(QString::fromLocal8Bit(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (found.isEmpty()) return FALSE;
  // What a click does in a single-selection view: the item becomes current and the only one selected.
  list->setCurrentItem(found.front(), QItemSelectionModel::ClearAndSelect);
  return TRUE;
}
