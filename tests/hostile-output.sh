#!/usr/bin/env bash
# End-to-end tests with scanner output no well-behaved driver prints: huge lines, a huge scan,
# NUL bytes, CR LF line ends, a scanner killed mid-way, an unterminated last line.
# Usage: hostile-output.sh TOOL
set -u
. "$(dirname "$0")/lib.sh"

# blocks: reads "SIGNAL<tab>NAME<tab>CHANNEL<tab>RATE" lines and prints the report block of
# each, as an inactive network with no security.
blocks() {
    awk -F'\t' '{
        bars = $1 >= 50 ? "****" : $1 >= 36 ? "***-" : $1 >= 23 ? "**--" : $1 >= 10 ? "*---" : "----"
        printf "*:\nSSID: %s\nMODE: Infra\nCHAN:%s\nRATE: %s Mbit/s\nSIGNAL: %s\nBARS: %s\nSECURITY: \n", $2, $3, $4, $1, bars
    }'
}

scan=$work/scan
want=$work/want
export FAKE_IWLIST_OUTPUT=$scan

# Lines far longer than any read buffer: a 1 MiB name, element line and rate list.
long_name=$(head -c 1048576 /dev/zero | tr '\0' n)
long_rates=$(head -c 1048576 /dev/zero | tr '\0' ' ' | sed 's/        /1 Mb\/s; /g')
{
    echo "Cell 01 - Address: 02:00:00:00:00:01"
    echo "ESSID:\"$long_name\""
    echo "Quality=35/70  Signal level=-75 dBm"
    echo "IE: Unknown: $long_name"
    echo "Bit Rates:${long_rates}54 Mb/s"
} >"$scan"
printf '50\t%s\t\t54\n' "$long_name" | blocks >"$want"
run_tool
expect "lines of 1 MiB" 0 "$want" ""

# NUL bytes are kept in a name as the scanner printed them.
printf 'Cell 01 - A\nESSID:"nul\0name"\nIE: \0WPA\0 Version 1\nQuality=70/70\n' >"$scan"
printf '*:\nSSID: nul\0name\nMODE: Infra\nCHAN:\nRATE: 1 Mbit/s\nSIGNAL: 100\nBARS: ****\nSECURITY: WPA\0 Version 1\n' >"$want"
run_tool
expect "NUL bytes" 0 "$want" ""

# CR LF line ends read as LF ones.
sed 's/$/\r/' "$fixtures/mixed.scan" >"$scan"
run_tool wlan0 HomeNet
expect "CR LF line ends" 0 "$fixtures/mixed.report" ""

# A last line that never ends is still read.
printf '%s' "$(cat "$fixtures/mixed.scan")" >"$scan"
[ "$(tail -c 3 "$scan")" = dBm ] || result "fixture ends in a value line" " it does not"
run_tool wlan0 HomeNet
expect "unterminated last line" 0 "$fixtures/mixed.report" ""

# A scanner killed after printing its cells: what it printed is the report.
cp "$fixtures/mixed.scan" "$scan"
FAKE_IWLIST_SIGNAL=KILL run_tool wlan0 HomeNet
expect "scanner killed after printing" 0 "$fixtures/mixed.report" ""

# 100 000 cells, about 50 MB, every name distinct: the expected report is ordered here
# independently, by a stable sort on the quality.
bash "$here/make-scan.sh" 100000 >"$scan"
awk -F'[=/:"]' '/Channel:/ { c = $2 } /Quality=/ { q = $2 } /ESSID:/ { printf "%d\t%s\t%d\t11\n", q, $3, c }' "$scan" |
    sort -s -t "$(printf '\t')" -k1,1nr | blocks >"$want"
run_tool
size=$(stat -c %s "$scan")
[ "$size" -gt 45000000 ] || result "large scan is about 50 MB" " it is $size bytes"
expect "100 000 cells, $((size / 1000000)) MB" 0 "$want" ""

finish
