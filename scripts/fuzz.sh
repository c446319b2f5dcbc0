#!/usr/bin/env bash
# Fuzzing at scale: every libFuzzer target for SECONDS each (default 600), one after another,
# from its committed seed corpus into a scratch corpus under build/fuzz-runs/ that later runs
# pick up again. Prints executions, corpus growth and findings per target; a finding (a crash,
# a sanitizer report, a leak or a timeout) leaves its input in build/fuzz-runs/TARGET/ and
# makes the script fail. The test suite keeps its own short bounded runs of the same targets.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds=${1:-600}
shift || true
scripts/setup.sh

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(sed -n 's/^nq_add_fuzz_target(\([a-z_]*\) .*/\1/p' tests/fuzz/CMakeLists.txt))
fi

runs=build/fuzz-runs
mkdir -p "$runs"
summary=$runs/summary.txt
printf '%-24s %8s %14s %10s %8s  %s\n' target seconds executions "exec/s" corpus findings | tee "$summary"
failed=0
for target in "${targets[@]}"; do
  work=$runs/$target
  mkdir -p "$work/corpus"
  log=$work/log.txt
  status=0
  ASAN_OPTIONS=detect_leaks=1 "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" \
    "$work/corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  corpus=$(find "$work/corpus" -type f | wc -l)
  findings=$(find "$work" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'leak-*' \
    -o -maxdepth 1 -name 'timeout-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
  [ "$status" -ne 0 ] && [ "$findings" -eq 0 ] && findings="exit $status"
  [ "$status" -ne 0 ] && failed=1
  printf '%-24s %8s %14s %10s %8s  %s\n' "$target" "$seconds" "${executions:-?}" "${rate:-?}" \
    "$corpus" "$findings" | tee -a "$summary"
done
echo "summary: $summary"
exit $failed
