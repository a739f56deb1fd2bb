#!/usr/bin/env bash
# Starts Tamboril on a virtual X server, saves a screenshot of the whole screen as a PNG file,
# then closes the program with its own close button and checks that it ended with status 0.
#
#   tools/screenshot.sh OUTPUT.png [PROGRAM]
#
# PROGRAM is build/bin/tamboril unless given. Needs the Debian packages xvfb, x11-apps (xwd),
# xdotool and python3. Exits with 0 only when the window came up, the screenshot was written
# and the program ended by itself with 0; the X server is stopped on every way out.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  sed -n '5p' "$0" | sed 's/^# *//'
  exit 2
fi
output=$1
program=${2:-$top/build/bin/tamboril}

# The window's own close button, in window coordinates: the middle of its picture.
close_button_x=685
close_button_y=18

work=$(mktemp -d)
xvfb_pid=
program_pid=

cleanup() {
  if [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; then
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "screenshot: $*" >&2
  if [ -s "$work/program.log" ]; then
    echo "--- the program's output:" >&2
    cat "$work/program.log" >&2
  fi
  exit 1
}

# Waits up to $1 tenths of a second for the command that follows to succeed.
wait_for() {
  local tenths=$1
  shift
  local i
  for ((i = 0; i < tenths; i++)); do
    if "$@"; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

[ -x "$program" ] || fail "no program at $program"

# Xvfb picks a free display itself and writes its number to descriptor 3 once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 100 test -s "$work/display" || fail "the virtual X server did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"

QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
program_pid=$!

find_window() {
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window came up"
  window=$(xdotool search --onlyvisible --name '^Tamboril 3\.3$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
window=
wait_for 200 find_window || fail "no window titled \"Tamboril 3.3\" came up"
# Let the window draw itself before the picture is taken.
sleep 1

xwd -root -silent | python3 "$top/tools/xwd_to_png.py" "$output"
head -c 8 "$output" | cmp -s - <(printf '\x89PNG\r\n\x1a\n') || fail "no PNG file was written to $output"

xdotool mousemove --window "$window" "$close_button_x" "$close_button_y" click 1
program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
wait_for 200 program_ended || fail "the program did not end after its close button was clicked"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "screenshot: $output written; the program closed with status 0"
