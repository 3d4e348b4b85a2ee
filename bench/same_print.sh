#!/usr/bin/env bash
# Checks that two qev programs write the same statement PDFs: each prints the
# given suppliers of the demo company (P99999 and three small ones by default),
# and the files must be equal byte for byte once the creation date and the
# file identifier, which change on every run, are masked.
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
[[ ${#codes[@]} -gt 0 ]] || codes=(P99999 P90000 P90029 P90058)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One demo company for both programs, in a home of its own.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$work/old" "$work/new"
chmod 700 "$XDG_RUNTIME_DIR"

print() {  # program, output folder
    local args=()
    for code in "${codes[@]}"; do args+=(--print "$code"); done
    "$1" "${args[@]}" --out "$2" >/dev/null
}

# Same-length masks, so that offsets and the cross-reference table still compare.
mask() {
    LC_ALL=C sed -E 's/\(D:[0-9]{14}\)/(D:00000000000000)/g; s/<[0-9a-f]{32}><[0-9a-f]{32}>/<00000000000000000000000000000000><00000000000000000000000000000000>/g' \
        "$1" >"$2"
}

print "$old" "$work/old"
print "$new" "$work/new"

status=0
for code in "${codes[@]}"; do
    file="QEV_$code.pdf"
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
exit $status
