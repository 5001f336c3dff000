#!/usr/bin/env bash
# Sets everything up, the tests' packages included, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --for-tests
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure --no-tests=error -j"$(nproc)"
