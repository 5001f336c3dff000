#!/usr/bin/env bash
# Sets everything up, builds, and prints the whole-archive report of the full
# demo archive with the command-line tool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec "${BUILD_DIR:-build}/src/cli/torvdoc-cli" report samples/full.dat
