#!/usr/bin/env bash
# Builds the fuzz harnesses of fuzz/ with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer into build-fuzz/, then runs each harness for
# SECONDS (default 60) from its seed corpus fuzz/corpus/<name>/ (every seed,
# regression inputs included, runs first). New inputs a run finds are kept in
# build-fuzz/corpus/<name>/ for the next run. A crash, a sanitizer report or a
# broken invariant stops that harness, leaves its input in build-fuzz/artifacts/
# and makes the script fail; copy such an input into the seed corpus once it is
# fixed. Prints the executions per second and the total executions of each run.
#
#   bash scripts/fuzz.sh [--bounded] [SECONDS] [HARNESS...]
#
# --bounded (the test command's run) starts from the seed corpus alone with a
# fixed random seed, so that the run does not depend on earlier ones.
set -euo pipefail
cd "$(dirname "$0")/.."
bounded=0
if [ "${1:-}" = "--bounded" ]; then bounded=1; shift; fi
seconds=${1:-60}
shift || true
harnesses=("$@")
[ ${#harnesses[@]} -eq 0 ] && harnesses=(amount expression text_layout movements_file report_template)

bash scripts/deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
  -DQEV_FUZZ=ON -DQEV_BUILD_TESTS=OFF -DQEV_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
mkdir -p build-fuzz/artifacts build-fuzz/logs
if ! cmake --build build-fuzz -j2 --target "${harnesses[@]/#/fuzz_}" >build-fuzz/logs/build.log 2>&1; then
  tail -n 40 build-fuzz/logs/build.log
  exit 1
fi

export QT_QPA_PLATFORM=offscreen
failed=()
printf '%-16s %8s %12s %10s  %s\n' harness seconds executions 'exec/s' result
for name in "${harnesses[@]}"; do
  work=build-fuzz/corpus/$name
  log=build-fuzz/logs/$name.log
  options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=20 -rss_limit_mb=4096
           -artifact_prefix="build-fuzz/artifacts/$name-")
  if [ $bounded -eq 1 ]; then
    work=build-fuzz/bounded/$name
    rm -rf "$work"
    options+=(-seed=1)
  fi
  mkdir -p "$work"
  [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
  result=ok
  if ! nice "build-fuzz/fuzz/fuzz_$name" "${options[@]}" "$work" "fuzz/corpus/$name" >"$log" 2>&1; then
    result="FAILED (build-fuzz/logs/$name.log)"
    failed+=("$name")
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  printf '%-16s %8s %12s %10s  %s\n' "$name" "$seconds" "${runs:--}" "${rate:--}" "$result"
done

if [ ${#failed[@]} -gt 0 ]; then
  for name in "${failed[@]}"; do
    echo "--- $name"
    grep -m1 -B2 -A25 -E 'ERROR: |runtime error|invariant broken|deadly signal' "build-fuzz/logs/$name.log" || tail -n 30 "build-fuzz/logs/$name.log"
  done
  exit 1
fi
