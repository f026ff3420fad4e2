#!/usr/bin/env bash
# What wlsurvey costs beyond the least its contract allows: wall time against FLOOR (a static
# program that runs the same scanner command through popen, reads all of its output and writes
# the same report one write(2) per line), as the median of the ratios of interleaved pairs;
# and each program's own instruction count under callgrind (the parent process only).
# Usage: bench/overhead.sh FLOOR TOOL [TOOL...]   (PAIRS=N sets the number of pairs, default 60)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
floor=$1
shift
scan=$here/scan-60.txt
pairs=${PAIRS:-60}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#!/bin/sh\nexec cat "%s"\n' "$scan" >"$work/iwlist"
chmod +x "$work/iwlist"
export PATH="$work:$PATH"
"$1" wlan0 HomeNet >"$work/report"

now_us() { echo "${EPOCHREALTIME/./}"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : //p'
}

printf 'scan: %s, %d bytes, %d cells; report %d lines; %d interleaved pairs\n' \
    "$(basename "$scan")" "$(stat -c %s "$scan")" "$(grep -c 'Cell ' "$scan")" \
    "$(wc -l <"$work/report")" "$pairs"
printf '%-30s %10s %10s %12s %14s\n' program "floor us" "program us" "median ratio" instructions
printf '%-30s %10s %10s %12s %14s\n' floor - - - "$(instructions "$floor" "$work/report")"
for tool in "$@"; do
    cmp -s <("$tool" wlan0 HomeNet) "$work/report" || { echo "$tool: report differs" >&2; exit 1; }
    : >"$work/pairs"
    for ((i = 0; i < pairs; i++)); do
        t0=$(now_us)
        "$floor" "$work/report" >/dev/null
        t1=$(now_us)
        "$tool" wlan0 HomeNet >/dev/null
        t2=$(now_us)
        echo "$((t1 - t0)) $((t2 - t1))" >>"$work/pairs"
    done
    printf '%-30s %10s %10s %12s %14s\n' "${tool#"$here/../"}" \
        "$(cut -d' ' -f1 "$work/pairs" | median)" "$(cut -d' ' -f2 "$work/pairs" | median)" \
        "$(awk '{ printf "%.4f\n", $2 / $1 }' "$work/pairs" | median | xargs printf '%.3f')" \
        "$(instructions "$tool" wlan0 HomeNet)"
done
