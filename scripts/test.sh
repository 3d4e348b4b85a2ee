#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, starts a throw-away
# PostgreSQL server on loopback for the database tests, registers the
# PostgreSQL ODBC driver for the tests that read it through ODBC, and runs every
# test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh -DQEV_WERROR=ON -DQEV_BUILD_TESTS=ON

source scripts/pg.sh
pg_start
trap 'pg_stop; odbc_stop' EXIT
odbc_start

cd build
ctest --output-on-failure -j2
