#!/usr/bin/env bash
# How long torvdoc-cli takes to start and write the whole-archive report,
# against od printing the same file's records, in paired runs (one of each in
# turn, so that a busy moment weighs on both), and the tool's peak memory for
# --version. Prints the medians and their ratio.
#   bench/startup_timing.sh [TORVDOC_CLI] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/src/cli/torvdoc-cli}
runs=${2:-200}
archive=samples/full.dat

# Nanoseconds one run of the command takes, its output thrown away.
elapsed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo $((end - start))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

tool=() floor=()
for ((i = 0; i < runs; i++)); do
  tool+=("$(elapsed "$cli" report "$archive")")
  floor+=("$(elapsed od -An -tu1 -w8 "$archive")")
done
toolMedian=$(printf '%s\n' "${tool[@]}" | median)
floorMedian=$(printf '%s\n' "${floor[@]}" | median)
peakKb=$(/usr/bin/time -f %M "$cli" --version 2>&1 >/dev/null | tail -1)
awk -v t="$toolMedian" -v f="$floorMedian" -v m="$peakKb" 'BEGIN {
  printf "torvdoc-cli report: %.2f ms, od: %.2f ms, ratio %.2f\n", t / 1e6, f / 1e6, t / f
  printf "torvdoc-cli --version peak memory: %.1f MB\n", m / 1024
}'
