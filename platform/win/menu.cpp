// Menus: the item model behind HMENU, built from templates, shown as a Qt menu bar whose
// items post WM_COMMAND and report highlighting with WM_MENUSELECT.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "platform/win/qt_access.h"
#include "platform/win/window_record.h"

struct MenuItem {
  std::string text;
  UINT id = 0;
  UINT flags = 0;  // MF_ state and type bits
  HMENU popup = nullptr;
};

struct HMENU__ {
  std::vector<MenuItem> items;
  bool bar = false;
  HMENU parent = nullptr;  // the menu this one is a popup of
  HWND owner = nullptr;    // for a bar: the window showing it
  QPointer<QMenu> widget;  // for a popup while its bar is shown
  std::vector<QPointer<QAction>> actions;  // index-aligned with items while shown
  bool live = true;
};

namespace {

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MFT_RADIOCHECK;
constexpr int kMaxMenuDepth = 16;

// Menus no longer live are kept here: stale handles stay harmless to look at.
std::vector<HMENU>& DeadMenus() {
  static auto* menus = new std::vector<HMENU>;
  return *menus;
}

std::unordered_set<HMENU>& LiveMenus() {
  static auto* menus = new std::unordered_set<HMENU>;
  return *menus;
}

HMENU LiveMenu(HMENU menu) { return menu && LiveMenus().count(menu) ? menu : nullptr; }

HMENU NewMenu(bool bar) {
  auto* menu = new HMENU__;
  menu->bar = bar;
  LiveMenus().insert(menu);
  return menu;
}

HMENU RootOf(HMENU menu) {
  for (int depth = 0; menu && menu->parent && depth < kMaxMenuDepth; ++depth) menu = menu->parent;
  return menu;
}

HWND OwnerOf(HMENU menu) {
  HMENU root = RootOf(menu);
  return root ? LiveWindow(root->owner) : nullptr;
}

struct Found {
  HMENU menu = nullptr;
  size_t index = 0;
};

Found FindCommand(HMENU menu, UINT id, int depth = 0) {
  if (!menu || depth > kMaxMenuDepth) return {};
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& item = menu->items[i];
    if (item.popup) {
      if (Found inner = FindCommand(item.popup, id, depth + 1); inner.menu) return inner;
    } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
      return {menu, i};
    }
  }
  return {};
}

Found FindItem(HMENU menu, UINT item, UINT flags) {
  if (!LiveMenu(menu)) return {};
  if (flags & MF_BYPOSITION) return item < menu->items.size() ? Found{menu, item} : Found{};
  return FindCommand(menu, item);
}

void ApplyState(const MenuItem& item, QAction* action) {
  if (!action) return;
  action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
  if (!item.popup && !(item.flags & MF_SEPARATOR)) action->setChecked(item.flags & MF_CHECKED);
}

void ShowState(const Found& found) {
  if (!found.menu || found.index >= found.menu->actions.size()) return;
  ApplyState(found.menu->items[found.index], found.menu->actions[found.index]);
}

WPARAM SelectFlags(const MenuItem& item) {
  UINT flags = (item.flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED)) | MF_HILITE | MF_MOUSESELECT;
  if (item.popup) flags |= MF_POPUP;
  return flags;
}

void ClearHost(QWidget* host) {
  for (QAction* action : host->actions()) {
    host->removeAction(action);
    if (QMenu* popup = action->menu()) popup->deleteLater();
    else if (action->parent() == host) action->deleteLater();
  }
}

void Fill(HMENU menu, QWidget* host, int depth) {
  menu->actions.clear();
  if (depth > kMaxMenuDepth) return;
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& item = menu->items[i];
    QAction* action = nullptr;
    if (item.flags & MF_SEPARATOR) {
      action = new QAction(host);
      action->setSeparator(true);
    } else if (item.popup) {
      QMenu* popup = new QMenu(QString::fromLocal8Bit(item.text.c_str()), host);
      HMENU sub = item.popup;
      sub->widget = popup;
      Fill(sub, popup, depth + 1);
      action = popup->menuAction();
      QObject::connect(popup, &QMenu::aboutToShow, [menu, sub, i] {
        if (HWND owner = OwnerOf(menu))
          SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(i, FALSE));
      });
      if (menu->bar) {
        // The whole menu closes when a popup of the bar hides.
        QObject::connect(popup, &QMenu::aboutToHide, [menu] {
          if (HWND owner = OwnerOf(menu)) SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        });
      }
    } else {
      action = new QAction(QString::fromLocal8Bit(item.text.c_str()), host);
      action->setCheckable(true);
      QObject::connect(action, &QAction::triggered, [menu, i] {
        if (!LiveMenu(menu) || i >= menu->items.size()) return;
        // Qt flips a checkable action itself; the program owns the marks.
        ShowState({menu, i});
        if (HWND owner = OwnerOf(menu))
          PostMessageA(owner, WM_COMMAND, MAKEWPARAM(menu->items[i].id, 0), 0);
      });
    }
    QObject::connect(action, &QAction::hovered, [menu, i] {
      if (!LiveMenu(menu) || i >= menu->items.size()) return;
      const MenuItem& hovered = menu->items[i];
      const WORD what = hovered.popup ? static_cast<WORD>(i) : static_cast<WORD>(hovered.id);
      if (HWND owner = OwnerOf(menu))
        SendMessageA(owner, WM_MENUSELECT, MAKEWPARAM(what, SelectFlags(hovered)), reinterpret_cast<LPARAM>(menu));
    });
    host->addAction(action);
    menu->actions.emplace_back(action);
    ApplyState(item, action);
  }
}

// Structure changed: the shown bar is rebuilt from the model.
void Rebuild(HMENU menu) {
  HMENU root = RootOf(menu);
  if (HWND owner = OwnerOf(root); owner && owner->menu == root) AttachMenuBar(owner);
}

bool WouldCycle(HMENU menu, HMENU popup) {
  for (HMENU m = menu; m; m = m->parent)
    if (m == popup) return true;
  return false;
}

bool MakeItem(HMENU menu, UINT flags, UINT_PTR id_or_popup, LPCSTR text, MenuItem* item) {
  item->flags = flags & (kStateBits | MF_SEPARATOR);
  if (flags & MF_POPUP) {
    HMENU popup = LiveMenu(reinterpret_cast<HMENU>(id_or_popup));
    if (!popup || popup->bar || popup->parent || WouldCycle(menu, popup)) return false;
    item->popup = popup;
    item->flags |= MF_POPUP;
  } else {
    item->id = static_cast<UINT>(id_or_popup);
  }
  if (!(flags & MF_SEPARATOR)) item->text = text ? text : "";
  return true;
}

HMENU BuildFromTemplate(const std::vector<MenuTemplateItem>& rows, bool bar, int depth) {
  HMENU menu = NewMenu(bar);
  for (const MenuTemplateItem& row : rows) {
    MenuItem item;
    item.text = row.text;
    item.id = row.id;
    item.flags = row.flags & (kStateBits | MF_SEPARATOR);
    if (!row.children.empty() && depth < kMaxMenuDepth) {
      item.popup = BuildFromTemplate(row.children, false, depth + 1);
      item.popup->parent = menu;
      item.flags |= MF_POPUP;
      item.id = 0;
    }
    menu->items.push_back(item);
  }
  return menu;
}

void Kill(HMENU menu, int depth) {
  if (!LiveMenu(menu) || depth > kMaxMenuDepth) return;
  for (MenuItem& item : menu->items) Kill(item.popup, depth + 1);
  menu->live = false;
  LiveMenus().erase(menu);
  DeadMenus().push_back(menu);
}

}  // namespace

void AttachMenuBar(HWND window) {
  if (!LiveWindow(window) || !IsTopLevel(window) || !window->frame) return;
  HMENU menu = LiveMenu(window->menu);
  if (!menu) {
    if (window->menu_bar) {
      window->menu_bar->hide();
      window->menu_bar->deleteLater();
      window->menu_bar = nullptr;
    }
    LayoutFrame(window);
    return;
  }
  if (!window->menu_bar) {
    window->menu_bar = new QMenuBar(window->frame);
    // The bar stays inside the window, so the client area is always the area below it.
    window->menu_bar->setNativeMenuBar(false);
  }
  ClearHost(window->menu_bar);
  Fill(menu, window->menu_bar, 0);
  LayoutFrame(window);
}

void DetachMenu(HWND window) {
  HMENU menu = LiveMenu(window->menu);
  window->menu = nullptr;
  if (!menu) return;
  menu->owner = nullptr;
  // A window's menu goes with the window.
  Kill(menu, 0);
}

bool IsCommandDisabled(HWND window, UINT command) {
  HWND top = TopLevelOf(window);
  if (!top) return false;
  Found found = FindCommand(LiveMenu(top->menu), command);
  return found.menu && (found.menu->items[found.index].flags & (MF_GRAYED | MF_DISABLED));
}

HMENU CreateMenu() { return NewMenu(true); }
HMENU CreatePopupMenu() { return NewMenu(false); }

BOOL DestroyMenu(HMENU menu) {
  if (!LiveMenu(menu)) return FALSE;
  if (HMENU parent = LiveMenu(menu->parent)) {
    auto& items = parent->items;
    items.erase(std::remove_if(items.begin(), items.end(), [menu](const MenuItem& i) { return i.popup == menu; }),
                items.end());
    Rebuild(parent);
  }
  if (HWND owner = LiveWindow(menu->owner); owner && owner->menu == menu) {
    owner->menu = nullptr;
    AttachMenuBar(owner);
  }
  Kill(menu, 0);
  return TRUE;
}

HMENU LoadMenuA(HINSTANCE /*instance*/, LPCSTR name) {
  const MenuResource* resource = FindMenuResource(name);
  return resource ? BuildFromTemplate(resource->items, true, 0) : nullptr;
}

HMENU GetMenu(HWND window) { return LiveWindow(window) ? LiveMenu(window->menu) : nullptr; }

BOOL SetMenu(HWND window, HMENU menu) {
  if (!LiveWindow(window) || !IsTopLevel(window)) return FALSE;
  if (menu && (!LiveMenu(menu) || menu->parent)) return FALSE;
  if (HMENU old = LiveMenu(window->menu)) old->owner = nullptr;
  window->menu = menu;
  if (menu) menu->owner = window;
  AttachMenuBar(window);
  ReportClientSize(window, true);
  return TRUE;
}

BOOL DrawMenuBar(HWND window) {
  if (!LiveWindow(window)) return FALSE;
  AttachMenuBar(window);
  return TRUE;
}

HMENU GetSubMenu(HMENU menu, int position) {
  if (!LiveMenu(menu) || position < 0 || static_cast<size_t>(position) >= menu->items.size()) return nullptr;
  return menu->items[position].popup;
}

int GetMenuItemCount(HMENU menu) { return LiveMenu(menu) ? static_cast<int>(menu->items.size()) : -1; }

UINT GetMenuItemID(HMENU menu, int position) {
  if (!LiveMenu(menu) || position < 0 || static_cast<size_t>(position) >= menu->items.size()) return kMenuError;
  const MenuItem& item = menu->items[position];
  return item.popup ? kMenuError : item.id;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  const Found found = FindItem(menu, item, flags);
  if (!found.menu) return kMenuError;
  const MenuItem& entry = found.menu->items[found.index];
  UINT state = entry.flags & (kStateBits | MF_SEPARATOR | MF_POPUP);
  if (entry.popup) state |= static_cast<UINT>(std::min<size_t>(entry.popup->items.size(), 0xFF)) << 8;
  return state;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
  const Found found = FindItem(menu, item, flags);
  if (!found.menu) return 0;
  const std::string& text = found.menu->items[found.index].text;
  if (!buffer || size <= 0) return static_cast<int>(text.size());
  const size_t count = std::min(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  const Found found = FindItem(menu, item, check);
  if (!found.menu) return kMenuError;
  MenuItem& entry = found.menu->items[found.index];
  const DWORD previous = entry.flags & MF_CHECKED;
  entry.flags = (entry.flags & ~MF_CHECKED) | (check & MF_CHECKED);
  ShowState(found);
  return previous;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  const Found found = FindItem(menu, item, enable);
  if (!found.menu) return static_cast<BOOL>(kMenuError);
  MenuItem& entry = found.menu->items[found.index];
  const UINT previous = entry.flags & (MF_GRAYED | MF_DISABLED);
  entry.flags = (entry.flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  ShowState(found);
  return static_cast<BOOL>(previous);
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  const Found from = FindItem(menu, first, flags);
  const Found to = FindItem(menu, last, flags);
  if (!from.menu || from.menu != to.menu) return FALSE;
  const Found chosen = FindItem(menu, check, flags);
  const size_t low = std::min(from.index, to.index), high = std::max(from.index, to.index);
  bool checked = false;
  for (size_t i = low; i <= high; ++i) {
    MenuItem& entry = from.menu->items[i];
    if (entry.popup || (entry.flags & MF_SEPARATOR)) continue;
    const bool mark = chosen.menu == from.menu && chosen.index == i;
    entry.flags &= ~(MF_CHECKED | MFT_RADIOCHECK);
    if (mark) entry.flags |= MF_CHECKED | MFT_RADIOCHECK;
    checked = checked || mark;
    ShowState({from.menu, i});
  }
  return checked ? TRUE : FALSE;
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id_or_popup, LPCSTR text) {
  if (!LiveMenu(menu)) return FALSE;
  MenuItem item;
  if (!MakeItem(menu, flags, id_or_popup, text, &item)) return FALSE;
  HMENU target = menu;
  size_t index = menu->items.size();
  if (flags & MF_BYPOSITION) {
    index = std::min(static_cast<size_t>(position), menu->items.size());
  } else {
    const Found found = FindCommand(menu, position);
    if (!found.menu) return FALSE;
    target = found.menu;
    index = found.index;
  }
  if (item.popup) item.popup->parent = target;
  target->items.insert(target->items.begin() + static_cast<std::ptrdiff_t>(index), item);
  Rebuild(target);
  return TRUE;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id_or_popup, LPCSTR text) {
  return InsertMenuA(menu, kMenuError, (flags & ~MF_BYCOMMAND) | MF_BYPOSITION, id_or_popup, text);
}

BOOL ModifyMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id_or_popup, LPCSTR text) {
  const Found found = FindItem(menu, position, flags);
  if (!found.menu) return FALSE;
  MenuItem item;
  if (!MakeItem(found.menu, flags, id_or_popup, text, &item)) return FALSE;
  MenuItem& entry = found.menu->items[found.index];
  if (entry.popup && entry.popup != item.popup) Kill(entry.popup, 0);
  if (item.popup) item.popup->parent = found.menu;
  entry = item;
  Rebuild(found.menu);
  return TRUE;
}

namespace {

BOOL Remove(HMENU menu, UINT position, UINT flags, bool destroy_popup) {
  const Found found = FindItem(menu, position, flags);
  if (!found.menu) return FALSE;
  HMENU popup = found.menu->items[found.index].popup;
  found.menu->items.erase(found.menu->items.begin() + static_cast<std::ptrdiff_t>(found.index));
  if (popup) {
    popup->parent = nullptr;
    if (destroy_popup) Kill(popup, 0);
  }
  Rebuild(found.menu);
  return TRUE;
}

}  // namespace

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, true); }
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return Remove(menu, position, flags, false); }

QMenuBar* MenuBarOf(HWND window) { return LiveWindow(window) ? window->menu_bar.data() : nullptr; }

QAction* MenuActionOf(HMENU menu, int position) {
  if (!LiveMenu(menu) || position < 0 || static_cast<size_t>(position) >= menu->actions.size()) return nullptr;
  return menu->actions[position];
}

QMenu* PopupWidgetOf(HMENU menu) { return LiveMenu(menu) ? menu->widget.data() : nullptr; }
