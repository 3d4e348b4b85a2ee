#!/usr/bin/env bash
# Builds qev and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ and runs the whole test suite there, PostgreSQL included.
# Any sanitizer report aborts the test that caused it, so the run passes only
# when no test gave one. Not part of the test command: it takes about twice as
# long.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQEV_SANITIZE=ON -DQEV_WERROR=ON \
  -DQEV_BUILD_TESTS=ON -DQEV_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j2

source scripts/pg.sh
pg_start
trap 'pg_stop; odbc_stop' EXIT
odbc_start

# Leaks are reported too; a report stops the process with an error.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Leaks inside system libraries that we cannot mend are listed there, each with its reason.
export LSAN_OPTIONS=suppressions=$PWD/scripts/sanitizer/lsan.supp:print_suppressions=0
cd build-asan
ctest --output-on-failure -j2
