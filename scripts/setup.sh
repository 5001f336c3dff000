#!/usr/bin/env bash
# Installs what building and running torvdoc need, then configures and builds
# it in build/ (or $BUILD_DIR). With --for-tests it also installs what the
# tests, the benchmarks, the sanitizer build and the fuzzing need. Safe to
# run again: installed packages are skipped and the build is incremental.
#   scripts/setup.sh [--for-tests]
set -euo pipefail
cd "$(dirname "$0")/.."

# Building the window, the tool, the history and the manual pages, building
# the Debian package (cpack runs dpkg-shlibdeps), and running the window.
PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6printsupport6 qt6-qpa-plugins libqt6svg6 qt6-svg-dev libgl-dev
  nlohmann-json3-dev
  libsqlite3-dev libpq-dev nettle-dev tzdata
  qt6-translations-l10n fonts-dejavu-core
  help2man dpkg-dev file
)
# The tests and what they read results with, the benchmarks, the sanitizer
# and fuzzing builds.
TEST_PACKAGES=(
  libgtest-dev libgmock-dev libbenchmark-dev
  postgresql-15 sqlite3
  poppler-utils xvfb xauth imagemagick libreoffice-writer-nogui libreoffice-calc-nogui
  openbox xdotool x11-utils
  desktop-file-utils lintian appstream man-db bash-completion locales
  clang libclang-rt-14-dev
)

case ${1:-} in
  "") ;;
  --for-tests) PACKAGES+=("${TEST_PACKAGES[@]}") ;;
  *)
    echo "usage: scripts/setup.sh [--for-tests]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
if ((${#missing[@]})); then
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja ${CMAKE_ARGS:-}
cmake --build "$BUILD_DIR" -j"$(nproc)"
