#!/usr/bin/env bash
# `qev --print` of the demo company's largest statement against the ReportLab
# peer drawing the same number of rows in the same layout: whole process,
# wall time, processor time (user + system, which the load of a shared machine
# disturbs less) and peak resident memory, median of three runs taken
# alternately, and the ratios qev / peer.
#
#   bash bench/print_vs_peer.sh [QEV_PROGRAM] [CODE ROWS]
#
# CODE defaults to P99999, whose statement has 10,500 movement rows; the peer
# is given ROWS rows.
#
# Set-up (this benchmark only): python3-reportlab and python3-pil are installed
# when missing. The peer script is ../shared/bench/peer_reportlab.py beside the
# checkout, or PEER_SCRIPT.
set -euo pipefail
cd "$(dirname "$0")/.."
qev=$(realpath "${1:-build/app/qev}")
code=${2:-P99999}
rows=${3:-10500}
peer=${PEER_SCRIPT:-$(realpath -m ../shared/bench/peer_reportlab.py)}
[[ -f $peer ]] || peer=$(realpath -m ../../../shared/bench/peer_reportlab.py)  # from a side checkout
python=/usr/bin/python3

if ! "$python" -c 'import reportlab, PIL' 2>/dev/null; then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y -qq python3-reportlab python3-pil >/dev/null
fi
[[ -x $qev ]] || { echo "no qev program at $qev (build first)" >&2; exit 2; }
[[ -f $peer ]] || { echo "no peer script at $peer (set PEER_SCRIPT)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$work/out"
chmod 700 "$XDG_RUNTIME_DIR"

# The first run builds the demo company; it is not measured.
"$qev" --print "$code" --out "$work/out" >/dev/null

measure() {  # label, command...: "seconds peakKiB cpuSeconds"
    local label=$1
    shift
    /usr/bin/time -f "%e %M %U %S" -o "$work/$label.time" "$@" >/dev/null
    awk '{print $1, $2, $3 + $4}' "$work/$label.time"
}

qev_runs=() peer_runs=()
for _ in 1 2 3; do
    qev_runs+=("$(measure qev "$qev" --print "$code" --out "$work/out")")
    peer_runs+=("$(measure peer "$python" "$peer" "$rows" "$work/out/peer.pdf")")
done

median() {  # field number, runs...
    local field=$1
    shift
    printf '%s\n' "$@" | awk -v f="$field" '{print $f}' | sort -g | sed -n 2p
}
qev_s=$(median 1 "${qev_runs[@]}") qev_kib=$(median 2 "${qev_runs[@]}")
qev_cpu=$(median 3 "${qev_runs[@]}") peer_cpu=$(median 3 "${peer_runs[@]}")
peer_s=$(median 1 "${peer_runs[@]}") peer_kib=$(median 2 "${peer_runs[@]}")

echo "qev --print $code against the ReportLab peer, $rows rows, median of 3 (alternated)"
awk -v qs="$qev_s" -v qk="$qev_kib" -v qc="$qev_cpu" \
    -v ps="$peer_s" -v pk="$peer_kib" -v pc="$peer_cpu" 'BEGIN {
    printf "%-8s %10s %12s %12s\n", "", "seconds", "cpu seconds", "peak MiB"
    printf "%-8s %10.2f %12.2f %12.1f\n", "qev", qs, qc, qk / 1024
    printf "%-8s %10.2f %12.2f %12.1f\n", "peer", ps, pc, pk / 1024
    printf "ratio    %10.2f %12.2f %12.2f   (goal: <= 0.20 time, <= 1.00 memory)\n", \
        qs / ps, qc / pc, qk / pk
}'
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
