// Accelerator tables: key-downs and typed characters that stand for menu commands.
#include <unordered_set>
#include <vector>

#include "platform/win/window_record.h"

struct HACCEL__ {
  std::vector<ACCEL> entries;
};

namespace {

std::unordered_set<HACCEL>& LiveTables() {
  static auto* tables = new std::unordered_set<HACCEL>;
  return *tables;
}

HACCEL NewTable(std::vector<ACCEL> entries) {
  auto* table = new HACCEL__{std::move(entries)};
  LiveTables().insert(table);
  return table;
}

bool Held(int key) { return GetKeyState(key) & 0x8000; }

bool Matches(const ACCEL& entry, const MSG& msg) {
  if (entry.fVirt & FVIRTKEY) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (entry.key != msg.wParam) return false;
    return Held(VK_SHIFT) == static_cast<bool>(entry.fVirt & FSHIFT) &&
           Held(VK_CONTROL) == static_cast<bool>(entry.fVirt & FCONTROL) &&
           Held(VK_MENU) == static_cast<bool>(entry.fVirt & FALT);
  }
  // Character entries match the typed character; Alt must agree, the other modifiers
  // are already in the character (Ctrl+X types 0x18).
  if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR) return false;
  if (entry.key != msg.wParam) return false;
  return (msg.message == WM_SYSCHAR) == static_cast<bool>(entry.fVirt & FALT);
}

}  // namespace

HACCEL LoadAcceleratorsA(HINSTANCE /*instance*/, LPCSTR name) {
  const AcceleratorResource* resource = FindAcceleratorResource(name);
  return resource ? NewTable(resource->entries) : nullptr;
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count) {
  if (!entries || count <= 0) return nullptr;
  return NewTable(std::vector<ACCEL>(entries, entries + count));
}

BOOL DestroyAcceleratorTable(HACCEL table) {
  if (!table || !LiveTables().erase(table)) return FALSE;
  delete table;
  return TRUE;
}

int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg) {
  if (!LiveWindow(window) || !table || !LiveTables().count(table) || !msg) return 0;
  for (const ACCEL& entry : table->entries) {
    if (!Matches(entry, *msg)) continue;
    if (!IsCommandDisabled(window, entry.cmd)) SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
    return 1;
  }
  return 0;
}
