#!/usr/bin/env bash
# Checks that two qev programs write the same statement PDFs: each prints the
# given suppliers of the demo company (P99999, P90000, two small ones, one
# without documents and P00001 by default), and the files must be equal byte
# for byte once the creation date and the file identifier, which change on
# every run, are masked. Every supplier is printed three times: its whole
# history, a period (--from/--to: the period line and the opening row) and its
# open items (--open-items: the ageing summary at the end).
#
#   bash bench/same_print.sh OLD_QEV NEW_QEV [CODE...]
#
# Keep a copy of the program before a change (cp build/app/qev /tmp/qev.before)
# and run this after every change. Exits 1 at the first difference, showing the
# first differing lines of the two files in qpdf's readable form.
set -euo pipefail
if [[ $# -lt 2 ]]; then
    echo "usage: $0 OLD_QEV NEW_QEV [CODE...]" >&2
    exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
shift 2
codes=("$@")
[[ ${#codes[@]} -gt 0 ]] || codes=(P99999 P90000 P90029 P90058 P00057 P00001)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One demo company for both programs, in a home of its own.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# The statements to compare: label, then the options that make them.
variants=(
    "whole|"
    "period|--from 2016-02-01 --to 2016-06-30"
    "open-items|--open-items --to 2016-06-30"
)

print() {  # program, output folder, options...
    local program=$1 out=$2 args=()
    shift 2
    for code in "${codes[@]}"; do args+=(--print "$code"); done
    mkdir -p "$out"
    "$program" "${args[@]}" "$@" --out "$out" >/dev/null
}

# Same-length masks, so that offsets and the cross-reference table still compare.
mask() {
    LC_ALL=C sed -E 's/\(D:[0-9]{14}\)/(D:00000000000000)/g; s/<[0-9a-f]{32}><[0-9a-f]{32}>/<00000000000000000000000000000000><00000000000000000000000000000000>/g' \
        "$1" >"$2"
}

status=0
for variant in "${variants[@]}"; do
    label=${variant%%|*}
    read -ra options <<<"${variant#*|}"
    print "$old" "$work/old/$label" "${options[@]}"
    print "$new" "$work/new/$label" "${options[@]}"
    for code in "${codes[@]}"; do
        file="$label/QEV_$code.pdf"
        mask "$work/old/$file" "$work/old.masked"
        mask "$work/new/$file" "$work/new.masked"
        if cmp -s "$work/old.masked" "$work/new.masked"; then
            echo "same: $file ($(stat -c %s "$work/new/$file") bytes)"
            continue
        fi
        echo "DIFFERENT: $file"
        qpdf --qdf --object-streams=disable "$work/old.masked" "$work/old.qdf" || true
        qpdf --qdf --object-streams=disable "$work/new.masked" "$work/new.qdf" || true
        diff -a "$work/old.qdf" "$work/new.qdf" | head -40 || true
        status=1
    done
done
exit $status
