#!/usr/bin/env bash
# Sets everything up, builds, and starts the window. Open a demo archive from
# samples/ with F3 ("Задать имя файла архива").
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec "${BUILD_DIR:-build}/src/app/torvdoc" "$@"
