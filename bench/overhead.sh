#!/usr/bin/env bash
# What wlsurvey adds on top of the scanner: whole-process wall time against the same fake
# scanner command run through sh alone (interleaved runs, medians, ratio), and the tool's own
# instruction count under callgrind (the parent process only, repeatable).
# Usage: bench/overhead.sh TOOL [TOOL...]   (RUNS=N sets the number of runs of each, default 60)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scan=$here/scan-60.txt
runs=${RUNS:-60}
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
printf '#!/bin/sh\nexec cat "%s"\n' "$scan" >"$fake/iwlist"
chmod +x "$fake/iwlist"
export PATH="$fake:$PATH"
command="iwlist 'wlan0' scan essid '' last 2> /dev/null"

now_us() { echo "${EPOCHREALTIME/./}"; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf 'scan: %s, %d bytes, %d cells; %d runs of each, interleaved\n' "$(basename "$scan")" \
    "$(stat -c %s "$scan")" "$(grep -c 'Cell ' "$scan")" "$runs"
printf '%-34s %12s %12s %8s %14s\n' tool "sh alone us" "tool us" ratio instructions
for tool in "$@"; do
    : >"$fake/sh.times"
    : >"$fake/tool.times"
    for ((i = 0; i < runs; i++)); do
        t0=$(now_us)
        sh -c "$command" >/dev/null
        t1=$(now_us)
        "$tool" wlan0 HomeNet >/dev/null
        t2=$(now_us)
        echo $((t1 - t0)) >>"$fake/sh.times"
        echo $((t2 - t1)) >>"$fake/tool.times"
    done
    alone=$(median <"$fake/sh.times")
    with=$(median <"$fake/tool.times")
    instructions=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$tool" wlan0 HomeNet \
        2>&1 >/dev/null | sed -n 's/.*Collected : //p')
    printf '%-34s %12s %12s %8s %14s\n' "${tool#"$here/../"}" "$alone" "$with" \
        "$(awk -v a="$alone" -v b="$with" 'BEGIN { printf "%.2f", b / a }')" "$instructions"
done
