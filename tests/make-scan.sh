#!/usr/bin/env bash
# Prints a scan of N cells in one driver's shape, about 500 bytes each, every name distinct
# ("net-I"), qualities spread over 0-100. Usage: make-scan.sh N
set -euo pipefail
awk -v cells="${1:?cells}" 'BEGIN {
    pad = sprintf("%220s", ""); gsub(/ /, "0", pad)
    for (i = 1; i <= cells; i++) {
        q = (i * 7919) % 101
        printf "          Cell %d - Address: 02:00:00:%02X:%02X:%02X\n", i, i % 256, int(i / 256) % 256, int(i / 65536)
        printf "                    Channel:%d\n", i % 13 + 1
        printf "                    Quality=%d/100  Signal level=-%d dBm\n", q, 100 - q
        printf "                    ESSID:\"net-%d\"\n", i
        printf "                    Bit Rates:1 Mb/s; 2 Mb/s; 5.5 Mb/s; 11 Mb/s\n"
        printf "                    IE: Unknown: DD%s\n", pad
    }
}'
