#!/usr/bin/env bash
# Runs bench_odbc against a throw-away PostgreSQL server reached natively and
# through its ODBC driver, set up as the test command does.
# Usage: bash bench/odbc.sh [rounds=3]   (after scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
source scripts/pg.sh
pg_start
trap 'pg_stop; odbc_stop' EXIT
odbc_start
echo "load: $(uptime)"
build/bench/bench_odbc "${1:-3}"
