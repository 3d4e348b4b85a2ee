#!/usr/bin/env bash
# Installs what is missing, builds, and starts qev (on the demo company unless a
# settings file says otherwise). Arguments are passed to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
exec ./build/app/qev "$@"
