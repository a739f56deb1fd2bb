#!/usr/bin/env bash
# Checks the Debian package as Debian's tools and the software centres read it:
#
#  - lintian, showing every tag it knows (-I -E --pedantic), finds none but the accepted ones below;
#  - appstreamcli finds nothing to say, not even a pedantic remark, about the description that
#    software centres show, nor about how it fits the package's files (the desktop entry it names);
#  - desktop-file-validate has nothing to say about the menu entry, not even a hint;
#  - the changelog and that description name the package's own version as their latest;
#  - the packaged tamboril-cli, as built for the package (hardened, stripped), makes a book that
#    unzip -t finds whole.
#
#   packaging/check_package.sh PACKAGE.deb
#
# Needs the Debian packages lintian, appstream, desktop-file-utils, dpkg-dev and unzip.
set -euo pipefail

deb=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "package check: $*" >&2
  exit 1
}

# Tags that Debian's own packages of this kind carry too, each with the reason it is no fault here.
#  - hardening-no-fortify-functions for tamboril-cli: it is compiled with -D_FORTIFY_SOURCE=2, but
#    none of its calls into the C library writes to a buffer whose size the compiler knows, so none
#    of them has a checked form to become (desktop-file-utils carries the same tag for its tools).
accepted_tags=(
  'I: tamboril: hardening-no-fortify-functions [usr/bin/tamboril-cli]'
)

lintian_status=0
lintian -I -E --pedantic "$deb" >"$work/lintian.txt" 2>"$work/lintian.log" || lintian_status=$?
cat "$work/lintian.txt"
grep -v -x -F -f <(printf '%s\n' "${accepted_tags[@]}") "$work/lintian.txt" >"$work/unexpected.txt" || true
[ ! -s "$work/unexpected.txt" ] || fail "lintian finds more than the accepted tags"
[ "$lintian_status" -eq 0 ] || fail "lintian failed: $(cat "$work/lintian.log")"

tree=$work/tree
dpkg-deb -x "$deb" "$tree"
metainfo=("$tree"/usr/share/metainfo/*.metainfo.xml)
[ -f "${metainfo[0]}" ] || fail "the package holds no description for software centres"
# Runs appstreamcli with the arguments given and fails on any remark it makes.
check_with_appstream() {
  appstreamcli "$@" --pedantic --no-net >"$work/appstream.txt" 2>&1 ||
    fail "appstreamcli rejects the package: $(cat "$work/appstream.txt")"
  cat "$work/appstream.txt"
  ! grep -q -E '^[EWIP]: ' "$work/appstream.txt" || fail "appstreamcli finds something to remark"
}
check_with_appstream validate "${metainfo[0]}"
check_with_appstream validate-tree "$tree"

for entry in "$tree"/usr/share/applications/*.desktop; do
  findings=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate rejects $entry: $findings"
  [ -z "$findings" ] || fail "desktop-file-validate remarks on the menu entry: $findings"
done

version=$(dpkg-deb --field "$deb" Version)
zcat "$tree/usr/share/doc/tamboril/changelog.gz" >"$work/changelog"
changelog_version=$(dpkg-parsechangelog --file "$work/changelog" --show-field Version)
[ "$changelog_version" = "$version" ] || fail "the changelog's latest entry is $changelog_version, the package $version"
release=$(grep -o -m 1 '<release version="[^"]*"' "${metainfo[0]}" | cut -d '"' -f 2)
[ "$release" = "$version" ] || fail "the software centres' latest release is $release, the package $version"

# The unpacked tree is a prefix like any other: the program finds its data beside it in share/.
"$tree/usr/bin/tamboril-cli" -q -t Check -a Tamboril -o "$work/books" "$(dirname "$0")/../samples/page1.jpg" \
  >"$work/cli.log" 2>&1 || fail "the packaged tamboril-cli failed: $(cat "$work/cli.log")"
unzip -tq "$work/books/Check.epub" >/dev/null || fail "unzip -t rejects the book of the packaged tamboril-cli"

echo "package check: $(basename "$deb") passes lintian, appstreamcli and desktop-file-validate, and makes a book"
