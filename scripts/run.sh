#!/usr/bin/env bash
# Sets up what building and running need, builds, and starts the window, or
# with --cli the command-line tool, in the folder run.sh was started from:
#   scripts/run.sh [FILE]          the window (open a demo archive from
#                                  samples/ with F3, "Задать имя файла архива")
#   scripts/run.sh --cli ARGS...   torvdoc-cli ARGS...
# With --cli, standard output and standard error are the tool's alone: once
# the tool is built, the set-up's own output goes to $BUILD_DIR/setup.log and
# is shown only when the set-up fails.
set -euo pipefail
caller=$PWD
repo=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo"
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR
[[ $BUILD_DIR == /* ]] || BUILD_DIR=$repo/$BUILD_DIR

if [[ ${1:-} != --cli ]]; then
  scripts/setup.sh
  cd "$caller"
  exec "$BUILD_DIR/src/app/torvdoc" "$@"
fi
shift
cli=$BUILD_DIR/src/cli/torvdoc-cli
if [[ -x $cli ]]; then
  if ! scripts/setup.sh >"$BUILD_DIR/setup.log" 2>&1; then
    cat "$BUILD_DIR/setup.log" >&2
    exit 1
  fi
else
  # The first build: its progress on standard error.
  scripts/setup.sh >&2
fi
cd "$caller"
exec "$cli" "$@"
