#!/usr/bin/env bash
# Runs each libFuzzer harness of BUILD for SECONDS seconds on its corpus folder
# (fuzz/corpus/NAME, read only) and a scratch folder in BUILD that takes the new inputs
# it finds; a crash is written to BUILD/fuzz-crashes. Prints libFuzzer's closing
# figures (executions, coverage) per harness; fails when a harness found a fault.
set -uo pipefail
build=$1 seconds=$2
shift 2
status=0
for name in "$@"; do
  scratch="$build/fuzz-found/$name"
  mkdir -p "$scratch" "$build/fuzz-crashes"
  echo "== $name: ${seconds}s"
  "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-crashes/$name-" \
    "$scratch" "fuzz/corpus/$name" >"$build/fuzz-$name.log" 2>&1
  rc=$?
  grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)|^(SUMMARY|==[0-9]+==ERROR|fuzz check failed)|Test unit written' \
    "$build/fuzz-$name.log"
  if [ $rc -ne 0 ]; then
    echo "$name: fault found (log: $build/fuzz-$name.log)"
    status=1
  fi
done
exit $status
