#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what the desktop and the manual reader
# find there: exactly the files an installation should hold, a desktop entry on which
# desktop-file-validate has nothing to remark, each icon a PNG of its size, manual pages that man
# renders without a warning.
#
#   installed_files_test.sh BUILD_FOLDER
set -euo pipefail

build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "installed files: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

icon_sizes=(16 32 48 64 128 256)
expected=(
  bin/tamboril
  bin/tamboril-cli
  share/applications/tamboril.desktop
  share/doc/tamboril/changelog.gz
  share/doc/tamboril/copyright
  share/man/man1/tamboril-cli.1.gz
  share/man/man1/tamboril.1.gz
  share/metainfo/org.tamboril.tamboril.metainfo.xml
  share/tamboril/META-INF/container.xml
  share/tamboril/mimetype
)
for size in "${icon_sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/tamboril.png")
done
found=$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[ "$found" = "$wanted" ] || fail "the prefix holds other files than expected:
$(diff <(echo "$wanted") <(echo "$found") || true)"

for program in tamboril tamboril-cli; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
[ "$(cat "$prefix/share/tamboril/mimetype")" = "application/epub+zip" ] || fail "share/tamboril/mimetype is wrong"

# A hint counts too: two main categories, for one, list the program twice in some menus.
findings=$(desktop-file-validate "$prefix/share/applications/tamboril.desktop" 2>&1) ||
  fail "desktop-file-validate rejects the entry: $findings"
[ -z "$findings" ] || fail "desktop-file-validate remarks on the entry: $findings"

for size in "${icon_sizes[@]}"; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/tamboril.png
  description=$(file -b "$icon")
  case "$description" in
    "PNG image data, $size x $size, "*) ;;
    *) fail "the ${size}x${size} icon is: $description" ;;
  esac
done

for program in tamboril tamboril-cli; do
  manual=$prefix/share/man/man1/$program.1.gz
  MANWIDTH=80 man --warnings -l "$manual" >"$work/manual.txt" 2>"$work/manual.warnings" ||
    fail "man cannot render the page of $program"
  [ ! -s "$work/manual.warnings" ] || fail "man warns about the page of $program: $(cat "$work/manual.warnings")"
  grep -q "^ *$program - turn pictures into an EPUB book" "$work/manual.txt" ||
    fail "the page of $program lacks its name line"
done

echo "installed files: ${#expected[@]} files as expected; entry, icons and manual pages pass"
