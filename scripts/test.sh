#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, runs each fuzz
# harness for a few seconds, starts a throw-away PostgreSQL server on loopback
# for the database tests, registers the PostgreSQL ODBC driver for the tests
# that read it through ODBC, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh -DQEV_WERROR=ON -DQEV_BUILD_TESTS=ON
# A few seconds of each fuzz harness from its seed corpus (clang build in build-fuzz/).
bash scripts/fuzz.sh --bounded 6

source scripts/pg.sh
pg_start
trap 'pg_stop; odbc_stop' EXIT
odbc_start

cd build
ctest --output-on-failure -j2
