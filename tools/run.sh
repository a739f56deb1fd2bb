#!/usr/bin/env bash
# One entry point for people and for CI.
#
#   tools/run.sh start              install what is missing, build, start Tamboril
#   tools/run.sh test               install what is missing, build (warnings are errors), run every test
#   tools/run.sh test --sanitize    the same with clang, AddressSanitizer and
#                                   UndefinedBehaviorSanitizer, plus short fuzzing runs
#   tools/run.sh test --tsan        the tests of the parts with threads of their own with clang and
#                                   ThreadSanitizer
#   tools/run.sh package            install what is missing, build the programs alone, make the
#                                   Debian package build-package/packages/tamboril_VERSION_ARCH.deb
#                                   and show it
#   tools/run.sh check-format       fail when a C++ file differs from .clang-format's layout
#   tools/run.sh format             rewrite every C++ file in that layout
#
# Debian 12, as root (or with sudo). Packages already present are skipped quickly.
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev zlib1g-dev libjpeg62-turbo-dev libgtest-dev
  libturbojpeg0-dev libpng-dev libgif-dev libheif-dev libavif-dev libwebp-dev libtiff-dev libstb-dev libicu-dev
  libarchive-dev libqpdf-dev libopenjp2-7-dev
  fonts-liberation2
  unzip zip epubcheck python3 libjpeg-turbo-progs time mupdf-tools file p7zip-full calibre
  libheif-examples libavif-bin webp libtiff-tools img2pdf imagemagick qpdf libopenjp2-tools libvips-tools
  xvfb xauth x11-utils x11-apps xdotool dbus-daemon
  desktop-file-utils man-db dpkg-dev lintian appstream
  clang libclang-rt-14-dev clang-format
)

install_missing_packages() {
  local missing=() package
  for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return
  fi
  echo "Installing: ${missing[*]}"
  local run_as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    run_as_root=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${run_as_root[@]}" apt-get update -q
  "${run_as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# build <folder> [cmake options...]
build() {
  local folder=$1
  shift
  cmake -S "$top" -B "$folder" -G Ninja "$@" >/dev/null
  cmake --build "$folder" --parallel "$(nproc)"
}

# run_tests <folder> [ctest options...]
run_tests() {
  local folder=$1
  shift
  ctest --test-dir "$folder" --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"
}

usage() {
  sed -n '4,13p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
}

command=${1:-}
shift || true
case "$command" in
  start)
    install_missing_packages
    build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec "$top/build/bin/tamboril" "$@"
    ;;
  test)
    install_missing_packages
    if [ "${1:-}" = "--sanitize" ]; then
      build "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
        -DTAMBORIL_SANITIZE=ON -DTAMBORIL_FUZZ=ON -DTAMBORIL_WERROR=ON
      # Every test program and every program a test starts stops at its first finding.
      # intercept_tls_get_addr=0: clang 14's runtime takes a thread-local block that glibc allocates for a
      # library loaded later (libjpeg-turbo's, through Qt's JPEG plugin) for one with the header of glibc 2.19
      # whenever the block lies 16 bytes into a page, and LeakSanitizer's tracer then crashes reading the
      # address and size it finds before it ("Tracer caught signal 11"). Where a block lands depends on the
      # machine, so a run can fail on one and pass on another. Without the interception the leak check still
      # finds those blocks through the thread's own pointers to them, and still reports every leak.
      export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0
      export LSAN_OPTIONS="suppressions=$top/tests/support/lsan.supp:print_suppressions=0"
      export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
      run_tests "$top/build-sanitize"
    elif [ "${1:-}" = "--tsan" ]; then
      # The parts with threads of their own that need no window: the archive writer's packing workers, the
      # pictures checked, turned, converted and made for a screen on them, read from comic archives on them, and
      # the thread that keeps the window's page list. Only their tests are built and run here, the command line's
      # books of every kind of picture among them (the thumbnails' threads meet Qt's event loop, which is not
      # built for ThreadSanitizer).
      cmake -S "$top" -B "$top/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DTAMBORIL_TSAN=ON -DTAMBORIL_WERROR=ON >/dev/null
      cmake --build "$top/build-tsan" --parallel "$(nproc)" \
        --target archive_tests settings_tests pictures_tests comics_tests builder_tests cli_tests tamboril-cli
      # Resident memory means nothing under the sanitizer's shadow memory, so the memory measures are left to
      # the plain build, and so is the comparison of resized pages with ImageMagick's, whose pictures Qt converts
      # on its own thread pool, built without the sanitizer, which cannot follow its locks.
      export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
      run_tests "$top/build-tsan" -E 'PictureMemoryTest\.|ScreenPagesTest\.Resizing' -R \
        '^((archive|settings|pictures|comics|builder)_tests\.|cli_tests\.BookCheckTest\.(PicturesOfEveryKind|EachKind|ADamaged))'
    else
      build "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBORIL_WERROR=ON
      run_tests "$top/build"
    fi
    ;;
  package)
    install_missing_packages
    # Only what the package holds, in a build folder of its own: Release, with the compiler and
    # linker flags Debian builds its own packages with, hardening included (fortified functions,
    # stack protector, relocations read-only and bound at start; Debian's compiler makes position
    # independent programs by default).
    folder=$top/build-package
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    cmake -S "$top" -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
      -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    cmake --build "$folder" --parallel "$(nproc)" --target tamboril_installation
    rm -rf "$folder/packages"
    (cd "$folder" && cpack -G DEB -B "$folder/packages" >/dev/null)
    deb=$(echo "$folder"/packages/tamboril_*.deb)
    dpkg-deb --info "$deb"
    dpkg-deb --contents "$deb"
    # Every dependency must resolve on this system: a simulation, which installs nothing.
    apt-get install --simulate "$deb" >/dev/null
    echo "Package: $deb"
    ;;
  check-format)
    install_missing_packages
    git -C "$top" ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
    echo "Every C++ file is in the layout of .clang-format."
    ;;
  format)
    install_missing_packages
    git -C "$top" ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i
    ;;
  *)
    usage
    ;;
esac
