#!/usr/bin/env bash
# Starts or stops the PostgreSQL server that the history tests use: a cluster
# made by initdb in a new temporary folder, run by pg_ctl as an unprivileged
# user (nobody, when this runs as root), listening only on a Unix socket in
# that folder. The connection URI goes to STATE, the folder to STATE.dir.
#   postgres_test_server.sh start STATE
#   postgres_test_server.sh stop STATE
set -euo pipefail
action=$1
state=$2
bin=/usr/lib/postgresql/15/bin

as_owner() {
  if [[ $(id -u) -eq 0 ]]; then runuser -u nobody -- "$@"; else "$@"; fi
}

case $action in
start)
  rm -f "$state"
  for program in initdb pg_ctl psql; do
    if [[ ! -x $bin/$program ]]; then
      echo "FAILED: $bin/$program is missing: install the postgresql package (scripts/setup.sh)" >&2
      exit 1
    fi
  done
  dir=$(mktemp -d /tmp/torvdoc-pg-XXXXXX)
  echo "$dir" >"$state.dir"
  chmod 755 "$dir"
  if [[ $(id -u) -eq 0 ]]; then chown nobody: "$dir"; fi
  if ! as_owner "$bin/initdb" -D "$dir/data" -U torvdoc --auth=trust -E UTF8 --locale=C \
    >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    echo "FAILED: initdb could not make a cluster in $dir" >&2
    exit 1
  fi
  # The test user logs in without a password; every other login needs one.
  cat >"$dir/data/pg_hba.conf" <<'HBA'
local all torvdoc trust
local all all scram-sha-256
HBA
  if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c max_connections=60" \
    start >/dev/null; then
    cat "$dir/server.log" >&2
    echo "FAILED: the PostgreSQL test server did not start" >&2
    exit 1
  fi
  "$bin/psql" -q -h "$dir" -U torvdoc -d postgres -v ON_ERROR_STOP=1 \
    -c "CREATE ROLE clerk LOGIN PASSWORD 'clerk-pass-8472'" \
    -c "CREATE DATABASE torvdoc_test" \
    -c "GRANT ALL ON DATABASE torvdoc_test TO clerk" \
    -c "ALTER DATABASE torvdoc_test OWNER TO clerk"
  echo "postgresql:///torvdoc_test?host=$dir&user=torvdoc" >"$state"
  ;;
stop)
  if [[ -f $state.dir ]]; then
    dir=$(cat "$state.dir")
    if [[ -d $dir/data ]]; then
      as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
  fi
  rm -f "$state" "$state.dir"
  ;;
*)
  echo "usage: $0 start|stop STATE" >&2
  exit 2
  ;;
esac
