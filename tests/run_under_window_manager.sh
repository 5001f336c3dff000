#!/usr/bin/env bash
# Runs a test program on a real X display with a window manager: a private
# Xvfb with openbox, for what the offscreen platform hides (a desktop's key
# bindings, window activation). The program's exit status is this script's.
#   run_under_window_manager.sh PROGRAM [ARGS...]
#
# Xvfb picks a free display itself and reports its number (-displayfd), so
# tests running at the same time never race for one, and it runs without an
# authority file, so no cookie can go missing between the server and its
# clients. When the display or the manager does not come, the test fails and
# says what each of them printed.
set -euo pipefail
for program in Xvfb openbox xprop; do
  if ! command -v "$program" >/dev/null; then
    echo "FAILED: $program is missing: install it (scripts/setup.sh)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
server=""
manager=""
stop_all() {
  [[ -n $manager ]] && kill "$manager" 2>/dev/null || true
  [[ -n $server ]] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop_all EXIT

show_log() { # show_log TITLE FILE
  if [[ -s $2 ]]; then
    echo "--- $1 ---" >&2
    tail -n 20 "$2" >&2
  fi
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
# A loaded machine may need a while for either of them; 60 s each.
for _ in $(seq 600); do
  [[ $(wc -l <"$work/display") -ge 1 ]] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
number=$(head -n 1 "$work/display")
if [[ -z $number ]]; then
  echo "FAILED: Xvfb did not start within 60 s" >&2
  show_log "Xvfb" "$work/xvfb.log"
  exit 1
fi
export DISPLAY=":$number"
unset XAUTHORITY

managed() {
  xprop -root _NET_SUPPORTING_WM_CHECK >"$work/xprop.out" 2>&1 && grep -q "window id" "$work/xprop.out"
}
starts=0
for _ in $(seq 600); do
  if [[ -z $manager ]] || ! kill -0 "$manager" 2>/dev/null; then
    # openbox gave up (or never ran): start it again, a few times at most.
    if ((starts == 3)); then break; fi
    starts=$((starts + 1))
    openbox >>"$work/openbox.log" 2>&1 &
    manager=$!
  fi
  managed && break
  sleep 0.1
done
if ! managed; then
  if kill -0 "$manager" 2>/dev/null; then
    echo "FAILED: openbox did not take the screen within 60 s" >&2
  else
    echo "FAILED: openbox exited at start ($starts times)" >&2
  fi
  show_log "openbox" "$work/openbox.log"
  show_log "xprop -root _NET_SUPPORTING_WM_CHECK" "$work/xprop.out"
  show_log "Xvfb" "$work/xvfb.log"
  exit 1
fi

status=0
QT_QPA_PLATFORM=xcb "$@" || status=$?
exit "$status"
