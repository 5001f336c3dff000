#!/usr/bin/env bash
# Installs what building, testing and running torvdoc need, then configures and
# builds it in build/. Safe to run again: installed packages are skipped and
# the build is incremental.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6printsupport6 qt6-qpa-plugins libqt6svg6 libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  libsqlite3-dev libpq-dev postgresql-15 tzdata
  qt6-translations-l10n
  poppler-utils xvfb xauth imagemagick libreoffice-writer-nogui
  openbox xdotool x11-utils
  dpkg-dev file desktop-file-utils
  fonts-dejavu-core
  clang libclang-rt-14-dev
)

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
