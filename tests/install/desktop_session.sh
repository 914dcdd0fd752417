#!/usr/bin/env bash
# The installed editor used as a person would: installs the build into a temporary prefix,
# runs the installed facetry on a virtual X screen and drives it with real input events
# (xdotool). It draws a triangle, closes the window, answers the save prompt with Yes and
# types a path into the save dialog; the saved file is checked with the installed
# facetry-mesh. Then `facetry FILE` opens that file, a cube is merged in from the installed
# shape library, and closing saves both.
#
# usage: desktop_session.sh BUILD_DIR
# Exits 77 (skipped) when xdotool or Xvfb is missing.
set -euo pipefail

if [ "${1:-}" != "--session" ]; then
  build=${1:?usage: desktop_session.sh BUILD_DIR}
  skip() { echo "SKIPPED: $* (scripts/setup.sh installs it)"; exit 77; }
  command -v xdotool >/dev/null 2>&1 || skip "xdotool is not installed"
  command -v xvfb-run >/dev/null 2>&1 || skip "xvfb-run is not installed"
  command -v Xvfb >/dev/null 2>&1 || skip "Xvfb is not installed"
  command -v python3 >/dev/null 2>&1 || skip "python3 is not installed"

  work=$(mktemp -d "${TMPDIR:-/tmp}/facetry-session.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  prefix="$work/prefix"
  if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAILED: cmake --install $build"
    exit 1
  fi
  for f in bin/facetry bin/facetry-mesh share/facetry/Shapes/Cube_1x1x1.uit \
           share/applications/facetry.desktop share/mime/packages/facetry.xml \
           share/icons/hicolor/16x16/apps/facetry.png share/icons/hicolor/256x256/apps/facetry.png \
           share/man/man1/facetry.1 share/man/man1/facetry-mesh.1; do
    [ -e "$prefix/$f" ] || { echo "FAILED: the install has no $f"; exit 1; }
  done
  # The menu entry and the file types as a desktop reads them, where the tools are here.
  if command -v desktop-file-validate >/dev/null 2>&1; then
    desktop-file-validate "$prefix/share/applications/facetry.desktop" ||
      { echo "FAILED: the menu entry does not validate"; exit 1; }
  fi
  if command -v update-mime-database >/dev/null 2>&1; then
    update-mime-database "$prefix/share/mime" >/dev/null 2>&1
    grep -qx '50:model/x-directx:\*\.x' "$prefix/share/mime/globs2" ||
      { echo "FAILED: the MIME database built from the install has no .x type"; exit 1; }
  fi
  # As scripts/test runs every test: a sanitized build reports leaks and stops at the first
  # error.
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp"
  export QT_QPA_PLATFORM=xcb
  status=0
  xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --session "$prefix" "$work" "$build" || status=$?
  [ "$status" -eq 0 ] && echo "PASSED: the installed editor drew, saved, opened and merged"
  exit "$status"
fi

# ---- inside the virtual screen --------------------------------------------------------
prefix=$2 work=$3 build=$4
cd "$work"  # the editor's debugging trace (qel.tst) lands here, not in the source tree

fail() {
  echo "FAILED: $*"
  for log in "$work"/editor*.log; do
    [ -s "$log" ] && { echo "--- $(basename "$log")"; tail -n 40 "$log"; }
  done
  # What the screen showed, for a person to look at.
  if command -v import >/dev/null 2>&1; then
    import -window root "$build/desktop_session_failure.png" 2>/dev/null &&
      echo "The screen at the failure: $build/desktop_session_failure.png"
  fi
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

# Sets variable $1 to the first visible window whose title matches $2, waiting up to a
# minute for it.
window() {
  local id
  id=$(timeout 60 xdotool search --sync --onlyvisible --name "$2" 2>/dev/null | head -n 1) || true
  [ -n "$id" ] || fail "no window titled like '$2' appeared within 60 s"
  printf -v "$1" '%s' "$id"
}

# Keys go to the window that has the input focus; there is no window manager to give it.
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.5; }

# Asks the window to close as a window manager's close button does (WM_DELETE_WINDOW).
close_window() {
  python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

display = x.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = int(sys.argv[1])
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, int(sys.argv[1]), 0, 0, ctypes.byref(event))
x.XFlush(display)
x.XCloseDisplay(display)
PY
}

# Waits up to a minute for the editor to end; its exit status must be 0.
wait_exit() {
  for _ in $(seq 600); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the editor did not end within 60 s of closing its window"
  local code=0
  wait "$pid" || code=$?
  pid=
  [ "$code" -eq 0 ] || fail "the editor exited with status $code"
}

# The value of KEY in facetry-mesh info's report on FILE.
info() { "$prefix/bin/facetry-mesh" info "$1" | sed -n "s/^$2: //p"; }

# ---- 1. draw a triangle, close, Yes, name the file in the save dialog ----
"$prefix/bin/facetry" >"$work/editor1.log" 2>&1 &
pid=$!
window main '^Facetry$'
# The first passes build the scene; a sanitized build is slow to get there.
sleep 4
eval "$(xdotool getwindowgeometry --shell "$main")"
cx=$((X + WIDTH / 2))
cy=$((Y + HEIGHT / 2))
# Each corner is approached in two steps so the cursor update sees the pointer settle; the
# last corner is the first again, where the hover test snaps the cursor and closes the
# triangle.
for p in 0,-100 100,80 -100,80 0,-100; do
  x=$((cx + ${p%,*}))
  y=$((cy + ${p#*,}))
  xdotool mousemove $((x - 3)) $((y - 3))
  sleep 0.3
  xdotool mousemove "$x" "$y"
  sleep 1.5
  xdotool click 1
  sleep 0.5
done
xdotool mousemove $((cx + 200)) $((cy + 150))
sleep 1

saved="$work/drawn.x"
close_window "$main"
window prompt '^Polygon$'
focus "$prompt"
xdotool key Return  # Yes, the default button
window dialog '^Save As$'
focus "$dialog"
xdotool key ctrl+a
xdotool type --delay 30 "$saved"
sleep 0.5
xdotool key Return
for _ in $(seq 300); do [ -s "$saved" ] && break; sleep 0.1; done
[ -s "$saved" ] || fail "the save dialog did not write $saved"
# Saved, the document has no changes left: the next close ends the editor without a word.
sleep 1
close_window "$main"
wait_exit

faces=$(info "$saved" faces)
vertices=$(info "$saved" vertices)
[ "$faces" = 1 ] || fail "the drawn triangle saved as $faces faces, not 1"
[ "$vertices" = 3 ] || fail "the drawn triangle saved with $vertices vertices, not 3"

# ---- 2. facetry FILE, merge a cube from the installed shape library, close and save ----
"$prefix/bin/facetry" "$saved" >"$work/editor2.log" 2>&1 &
pid=$!
window main 'drawn\.x$'  # the title names the file opened
sleep 4
focus "$main"
xdotool key alt+s  # the Shape menu, its first entry (Cube) active
sleep 1
xdotool key Return
window shape '^Create Shape$'
focus "$shape"
xdotool key Return  # OK: the first segment choice, 1x1x1
sleep 2
close_window "$main"
window prompt '^Polygon$'
focus "$prompt"
xdotool key Return  # Yes: a named document saves without a dialog
sleep 2
close_window "$main"
wait_exit

faces=$(info "$saved" faces)
[ "$faces" = 13 ] || fail "the triangle and the merged cube saved as $faces faces, not 1 + 12"
exit 0
