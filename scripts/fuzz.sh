#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one
# for SECONDS seconds (default 60), starting from its seed corpus in
# fuzz/corpus/. New inputs go to a scratch folder, or to FUZZ_WORK_DIR to keep
# them between runs; the repository's corpus is only read. A crash, leak,
# sanitizer report, broken invariant, or an input that runs longer than 10 s
# fails the run; the input is kept in build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

BUILD_DIR=build-fuzz CMAKE_ARGS="-DCMAKE_CXX_COMPILER=clang++ -DTORVDOC_BUILD_FUZZERS=ON \
-DTORVDOC_BUILD_UI=OFF -DTORVDOC_BUILD_TESTS=OFF -DTORVDOC_BUILD_BENCHMARKS=OFF \
-DTORVDOC_BUILD_MANPAGES=OFF" \
  scripts/setup.sh --for-tests

findings=build-fuzz/findings
mkdir -p "$findings"
if [[ -n ${FUZZ_WORK_DIR:-} ]]; then
  work=$FUZZ_WORK_DIR
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
# Room for an archive file of 9000 bytes behind the request program; report
# texts need no more than a few blocks.
declare -A maxLength=([archive_fuzzer]=9100 [rtf_fuzzer]=4096 [history_merge_fuzzer]=1024)

failed=0
for target in archive_fuzzer rtf_fuzzer history_merge_fuzzer; do
  mkdir -p "$work/$target"
  log="$work/$target.log"
  if "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
    -max_len="${maxLength[$target]}" -print_final_stats=1 \
    -artifact_prefix="$findings/$target-" "$work/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $target: $executions executions in $seconds s, no finding"
  else
    tail -n 80 "$log"
    echo "fuzz: $target: FAILED, the input is in $findings/"
    failed=1
  fi
done
exit "$failed"
