#!/usr/bin/env bash
# Runs a test program on a real X display with a window manager: a private
# Xvfb (xvfb-run) with openbox, for what the offscreen platform hides (a
# desktop's key bindings, window activation). The program's exit status is
# this script's.
#   run_under_window_manager.sh PROGRAM [ARGS...]
set -euo pipefail
for program in xvfb-run openbox; do
  if ! command -v "$program" >/dev/null; then
    echo "FAILED: $program is missing: install it (scripts/setup.sh)" >&2
    exit 1
  fi
done
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  openbox >/dev/null 2>&1 &
  manager=$!
  # The manager owns the screen before the program maps its first window;
  # on a loaded machine that may take a while, and without it the test
  # would be meaningless.
  managed=false
  for _ in $(seq 600); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
      managed=true
      break
    fi
    sleep 0.1
  done
  if [[ $managed != true ]]; then
    echo "FAILED: openbox did not take the screen within 60 s" >&2
    kill "$manager" 2>/dev/null || true
    exit 1
  fi
  status=0
  QT_QPA_PLATFORM=xcb "$@" || status=$?
  kill "$manager" 2>/dev/null || true
  exit "$status"
' run_under_window_manager "$@"
