#!/usr/bin/env bash
# Installs the build into a temporary prefix that its user may not write, as /usr is, and runs the
# installed programs there as a person would, with a home folder of their own:
#
#  - tamboril-cli makes a book, which unzip -t finds whole;
#  - tamboril, started on a virtual X server with two pictures and a folder as arguments, has them
#    as its pages: a title, an author and an output folder typed into it and Convert pressed, its
#    book holds those pictures in that order (the folder's in natural order); closed with its own
#    button, it ends with status 0 and has kept its settings in ~/.config/tamboril/config.ini and
#    its page list in ~/.local/state/tamboril, having staged its book in a temporary folder that it
#    removed;
#  - tamboril-cli without -o then writes its book into the output folder the window saved;
#  - nothing was written into the prefix.
#
#   installed_programs_test.sh BUILD_FOLDER SOURCE_FOLDER
#
# Root may write anywhere, so under root the programs run as the unprivileged user "nobody", from
# a copy of this script in the temporary folder. Needs xvfb, xdotool, unzip and setpriv.
set -euo pipefail

# Window coordinates of the title, author and output folder fields, of Convert and of the close
# button.
title_field=(76 361)
author_field=(76 433)
output_field=(451 429)
convert_button=(213 69)
close_button=(685 18)

fail() {
  echo "installed programs: $*" >&2
  for log in "${work:-}"/logs/*.log; do
    if [ -s "$log" ]; then
      echo "--- $(basename "$log"):" >&2
      cat "$log" >&2
    fi
  done
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

# The part a person does, in the home folder $HOME; runs as that person.
use_programs() {
  local pictures=$work/pictures
  local prefix=$work/prefix
  local logs=$work/logs
  stop_all() {
    for pid in $program_pid $xvfb_pid; do
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
    done
  }
  trap stop_all EXIT

  "$prefix/bin/tamboril-cli" -t "Command Line" -a Tamboril -o "$HOME/cli-books" \
    "$pictures/zebra.jpg" >"$logs/cli.log" 2>&1 || fail "the installed tamboril-cli failed"
  unzip -tq "$HOME/cli-books/Command Line.epub" >"$logs/unzip.log" 2>&1 || fail "unzip -t rejects the book"

  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$logs/display" 2>"$logs/xvfb.log" &
  xvfb_pid=$!
  wait_for 200 test -s "$logs/display" || fail "the virtual X server did not start"
  export DISPLAY=":$(head -n 1 "$logs/display")"
  rm "$logs/xvfb.log"

  QT_QPA_PLATFORM=xcb "$prefix/bin/tamboril" "$pictures/zebra.jpg" "$pictures/apple.jpg" "$pictures/folder" \
    >"$logs/window.log" 2>&1 &
  program_pid=$!
  local window=
  find_window() {
    kill -0 "$program_pid" 2>/dev/null || fail "the window's program ended before its window came up"
    window=$(xdotool search --onlyvisible --name '^Tamboril 3\.3$' 2>/dev/null | head -n 1)
    [ -n "$window" ]
  }
  wait_for 300 find_window || fail "no window titled \"Tamboril 3.3\" came up"

  type_at() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 10 "$3"
  }
  type_at "${title_field[@]}" "Window Book"
  type_at "${author_field[@]}" "Tamboril"
  type_at "${output_field[@]}" "$HOME/books"
  xdotool mousemove --window "$window" "${convert_button[@]}" click 1

  local box=
  find_success_box() {
    box=$(xdotool search --onlyvisible --name '^Congratulation$' 2>/dev/null | head -n 1)
    [ -n "$box" ]
  }
  wait_for 300 find_success_box || fail "Convert did not report a book"
  xdotool windowfocus --sync "$box" key Return
  box_gone() { ! xdotool search --onlyvisible --name '^Congratulation$' >/dev/null 2>&1; }
  wait_for 100 box_gone || fail "the success box did not close"

  xdotool mousemove --window "$window" "${close_button[@]}" click 1
  program_ended() { ! kill -0 "$program_pid" 2>/dev/null; }
  wait_for 300 program_ended || fail "the window did not close"
  local status=0
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "the window's program ended with status $status"

  "$prefix/bin/tamboril-cli" -t "Saved Folder" -a Tamboril "$pictures/apple.jpg" >>"$logs/cli.log" 2>&1 ||
    fail "the installed tamboril-cli failed with the saved output folder"
  unzip -tq "$HOME/books/Saved Folder.epub" >"$logs/unzip.log" 2>&1 || fail "unzip -t rejects the second book"
}

# What the window's run left: its book's pages and its settings, and nothing of its staging.
check_window_results() {
  local home=$work/home
  local logs=$work/logs
  local book=$home/books/"Window Book.epub"
  unzip -tq "$book" >"$logs/unzip.log" 2>&1 || fail "unzip -t rejects the window's book"
  local page pictures=()
  for page in 1 2 3 4; do
    pictures+=("$(unzip -p "$book" "OEBPS/page$page.html" | sed -n 's/.*<img[^>]* src="\([^"]*\)".*/\1/p')")
  done
  [ "${pictures[*]}" = "zebra.jpg apple.jpg page2.jpg page10.jpg" ] ||
    fail "the window's pages show ${pictures[*]}, not zebra.jpg apple.jpg page2.jpg page10.jpg"

  grep -qxF "SavePath=$home/books" "$home/.config/tamboril/config.ini" 2>/dev/null ||
    fail "no output folder saved in \$HOME/.config/tamboril/config.ini"
  compgen -G "$home/.local/state/tamboril/kept-*/pages.list" >/dev/null ||
    fail "the window, closed with pages, kept no list in \$HOME/.local/state/tamboril"
  [ ! -e "$home/.cache/tamboril" ] || fail "a folder was made in the cache"
  [ -z "$(ls -A "$work/tmp")" ] || fail "the temporary folder still holds $(ls -A "$work/tmp")"
}

if [ "${1:-}" = --as-person ]; then
  work=$2
  xvfb_pid=
  program_pid=
  use_programs
  exit 0
fi

build=$1
source=$2
work=$(mktemp -d)
prefix=$work/prefix
cleanup() {
  chmod -R u+w "$prefix" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir -p "$work/pictures/folder" "$work/home/.local/bin" "$work/logs"
cp "$source/samples/page1.jpg" "$work/pictures/zebra.jpg"
cp "$source/samples/page2.jpg" "$work/pictures/apple.jpg"
cp "$source/samples/page3.jpg" "$work/pictures/folder/page10.jpg"
cp "$source/samples/cover.jpg" "$work/pictures/folder/page2.jpg"
# The desktop's opener of folders, so that the run opens nothing on this machine.
printf '#!/bin/sh\nexit 0\n' >"$work/home/.local/bin/xdg-open"
cp "$0" "$work/person.sh"
chmod 755 "$work" "$work/home/.local/bin/xdg-open" "$work/person.sh"
chmod -R a-w "$prefix"
before=$(find "$prefix" -printf '%p %s %m %T@\n' | LC_ALL=C sort)

mkdir -m 700 "$work/home/runtime" "$work/tmp"
person=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody "$work/home" "$work/logs" "$work/tmp"
  person=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME HOME="$work/home" XDG_RUNTIME_DIR="$work/home/runtime" \
  TMPDIR="$work/tmp" PATH="$work/home/.local/bin:$PATH" "${person[@]}" "$work/person.sh" --as-person "$work"

check_window_results
after=$(find "$prefix" -printf '%p %s %m %T@\n' | LC_ALL=C sort)
[ "$before" = "$after" ] || fail "the programs wrote into the prefix:
$(diff <(echo "$before") <(echo "$after") || true)"
echo "installed programs: both programs ran from a read-only prefix and kept their files in \$HOME"
