#!/usr/bin/env bash
# What wlsurvey costs beyond the least its contract allows. Every program runs SCANNER (a static
# program that prints the 60-cell scan) as iwlist; each tool is timed by INTERLEAVE (which starts
# each program itself, so that no shell's own start-up is in the figures) in interleaved triples
# with the two floors: SPAWN (starts the scanner as the tool does, without a shell, reads all
# of both its outputs, writes the same report one write(2) per line) and POPEN (the same
# through popen and sh -c, as the tool once did). Each figure is the median of the per-triple
# ratios. Also each program's own instruction count under callgrind (its own process only). Each
# tool is timed three ways: the text report, --json, and --cached.
# Usage: bench/overhead.sh INTERLEAVE SCANNER SPAWN POPEN TOOL...   (PAIRS=N: triples, default 120)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
interleave=$1 scanner=$2 spawn=$3 popen=$4
shift 4
scan=$here/scan-60.txt
pairs=${PAIRS:-120}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$scanner" "$work/iwlist"
export PATH="$work:$PATH"
# Every program is timed from a copy made here: a freshly linked file runs slower than a copy of
# it (about 2.5 % on the development machine, the page cache holding it differently), and a
# tool or floor rebuilt just before would be measured at a disadvantage.
copy() { mkdir -p "$work/$2" && cp "$1" "$work/$2/" && echo "$work/$2/$(basename "$1")"; }
interleave=$(copy "$interleave" bin) spawn=$(copy "$spawn" bin) popen=$(copy "$popen" bin)
"$1" wlan0 HomeNet >"$work/report"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : //p'
}
column() { cut -d' ' -f"$1" "$work/times" | median; }
ratio() { awk -v a="$1" -v b="$2" '{ printf "%.4f\n", $a / $b }' "$work/times" | median | xargs printf '%.3f'; }

printf 'scan: %s, %d bytes, %d cells; report %d lines; %d interleaved triples\n' \
    "$(basename "$scan")" "$(stat -c %s "$scan")" "$(grep -c 'Cell ' "$scan")" \
    "$(wc -l <"$work/report")" "$pairs"
printf '%-26s %9s %9s %9s %10s %10s %13s\n' program "spawn us" "popen us" "tool us" \
    "/ spawn" "/ popen" instructions
printf '%-26s %9s %9s %9s %10s %10s %13s\n' "spawn floor" - - - - - \
    "$(instructions "$spawn" "$work/report")"
printf '%-26s %9s %9s %9s %10s %10s %13s\n' "popen floor" - - - - - \
    "$(instructions "$popen" "$work/report")"
number=0
for tool in "$@"; do
    timed=$(copy "$tool" "tool$((number += 1))")
    cmp -s <("$timed" wlan0 HomeNet) "$work/report" || { echo "$tool: report differs" >&2; exit 1; }
    # The text report, the JSON document, and a read of the last results (the same scan here).
    for option in "" --json --cached; do
        "$interleave" "$pairs" "$spawn" "$work/report" -- "$popen" "$work/report" -- \
            "$timed" $option wlan0 HomeNet >"$work/times"
        printf '%-26s %9s %9s %9s %10s %10s %13s\n' "${tool#"$here/../"}${option:+ $option}" \
            "$(column 1)" "$(column 2)" "$(column 3)" "$(ratio 3 1)" "$(ratio 3 2)" \
            "$(instructions "$timed" $option wlan0 HomeNet)"
    done
done
