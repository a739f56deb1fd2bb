#!/usr/bin/env bash
# Starts Tamboril on a virtual X server, saves a screenshot of the whole screen as a PNG file,
# then closes the program with its own close button and checks that it ended with status 0.
#
#   tools/screenshot.sh [--pages] OUTPUT.png [PROGRAM]
#
# PROGRAM is build/bin/tamboril unless given. With --pages the script first works the window as a
# person would: it adds the three sample pages with the Add button and its file dialog, clicks the
# first page so that the preview shows it, and types a title and an author. Needs the Debian
# packages xvfb, x11-apps (xwd), xdotool and python3. Exits with 0 only when the window came up,
# the screenshot was written and the program ended by itself with 0; the X server is stopped on
# every way out.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
with_pages=false
if [ "${1:-}" = --pages ]; then
  with_pages=true
  shift
fi
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  sed -n '5p' "$0" | sed 's/^# *//'
  exit 2
fi
output=$1
program=${2:-$top/build/bin/tamboril}

# Places in window coordinates: the middle of the close button's picture, of the Add button, of
# the first row of the page list, and of the title and author fields.
close_button_x=685
close_button_y=18
add_button=(29 69)
first_row=(300 158)
title_field=(68 361)
author_field=(68 433)

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

# A state folder of its own, so that no list kept by an earlier window is offered, and this one's is not left
# for a later one.
QT_QPA_PLATFORM=xcb XDG_STATE_HOME="$work/state" "$program" >"$work/program.log" 2>&1 &
program_pid=$!

find_window() {
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window came up"
  window=$(xdotool search --onlyvisible --name '^Tamboril 3\.3$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
window=
wait_for 200 find_window || fail "no window titled \"Tamboril 3.3\" came up"

# Clicks the window at the window coordinates $1, $2.
click_window() {
  xdotool mousemove --window "$window" "$1" "$2" click 1
}

# Gives the keyboard to window $1 and types the text $2, then Return.
type_into() {
  xdotool windowfocus --sync "$1"
  xdotool type --delay 10 "$2"
  xdotool key Return
}

find_file_dialog() {
  dialog=$(xdotool search --onlyvisible --name '^Open$' 2>/dev/null | head -n 1)
  [ -n "$dialog" ]
}
file_dialog_gone() { ! xdotool search --onlyvisible --name '^Open$' >/dev/null 2>&1; }

add_sample_pages() {
  click_window "${add_button[@]}"
  dialog=
  wait_for 100 find_file_dialog || fail "the Add button opened no file dialog"
  # Into the samples' folder first, then the three pictures in the order of the book.
  type_into "$dialog" "$top/samples/"
  sleep 0.5
  type_into "$dialog" '"page1.jpg" "page2.jpg" "page3.jpg"'
  wait_for 100 file_dialog_gone || fail "the file dialog did not take the sample pages"
  click_window "${first_row[@]}"
  click_window "${title_field[@]}"
  xdotool type --delay 10 "Sample Book"
  click_window "${author_field[@]}"
  xdotool type --delay 10 "Tamboril"
}

if [ "$with_pages" = true ]; then
  add_sample_pages
fi
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
