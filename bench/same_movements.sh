#!/usr/bin/env bash
# Checks that two qev programs write the same movements file: each builds the
# statement of the given suppliers of the demo company (P99999, P90058 and two
# small ones by default; --all for every supplier) through `qev --print`, and
# the qevmovs.dbf each leaves must be equal byte for byte, the header's date of
# last update aside.
#
#   bash bench/same_movements.sh OLD_QEV NEW_QEV [CODE... | --all]
#
# Keep a copy of the program before a change to the statement build
# (cp build/app/qev /tmp/qev.before) and run this after it. Exits 1 when a file
# differs, showing the first differing records as dbfdump reads them.
set -euo pipefail
if [[ $# -lt 2 ]]; then
    echo "usage: $0 OLD_QEV NEW_QEV [CODE... | --all]" >&2
    exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
shift 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# One demo company for both programs, a data folder for each.
for side in old new; do
    mkdir -p "$work/$side"
    cat >"$work/$side.ini" <<EOF
[database]
driver=sqlite
[paths]
data_directory=$work/$side
demo_database=$work/demo.sqlite
EOF
done
"$old" --config "$work/old.ini" --check-connection >/dev/null

if [[ "${1:-}" == "--all" ]]; then
    command -v sqlite3 >/dev/null || { echo "--all needs the sqlite3 program" >&2; exit 2; }
    mapfile -t codes < <(sqlite3 "$work/demo.sqlite" \
        "SELECT CardCode FROM OCRD WHERE CardType = 'S' ORDER BY CardCode")
else
    codes=("$@")
    [[ ${#codes[@]} -gt 0 ]] || codes=(P99999 P90058 P90029 P00007)
fi

build() {  # side, program, code: the statement built, its movements file kept
    "$2" --config "$work/$1.ini" --print "$3" --jobs 1 --out "$work/$1" >/dev/null
    cp "$work/$1/qevmovs.dbf" "$work/$1.dbf"
}

status=0
same=0
for code in "${codes[@]}"; do
    build old "$old" "$code"
    build new "$new" "$code"
    # Byte 0 is the file type, bytes 1-3 the date of last update.
    if cmp -s <(head -c 1 "$work/old.dbf") <(head -c 1 "$work/new.dbf") &&
        cmp -s -i 4 "$work/old.dbf" "$work/new.dbf"; then
        same=$((same + 1))
        [[ ${#codes[@]} -gt 10 ]] || echo "same: $code ($(stat -c %s "$work/new.dbf") bytes)"
        continue
    fi
    echo "DIFFERENT: $code"
    diff <(dbfdump "$work/old.dbf") <(dbfdump "$work/new.dbf") | head -20 || true
    status=1
done
echo "$same of ${#codes[@]} movements files the same"
exit $status
