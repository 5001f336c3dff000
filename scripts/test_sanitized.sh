#!/usr/bin/env bash
# Sets everything up, builds everything with AddressSanitizer, LeakSanitizer
# and UndefinedBehaviorSanitizer in build-asan/, and runs every test under
# them. The first finding aborts the program, so its test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=build-asan \
  CMAKE_ARGS="-DTORVDOC_SANITIZE=ON -DTORVDOC_BUILD_BENCHMARKS=OFF ${CMAKE_ARGS:-}" \
  scripts/test.sh
