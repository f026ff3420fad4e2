#!/usr/bin/env bash
# End-to-end test with the real scanner on interfaces that cannot scan (a machine without a
# wireless card): nothing on standard output, one "scan failed" line, exit status 1.
# Usage: real-scanner.sh TOOL   (skipped, exit 77, where iwlist is not installed)
set -u
. "$(dirname "$0")/lib.sh"

real=$(PATH=/usr/sbin:/sbin:$PATH command -v iwlist) || {
    echo "SKIP: iwlist is not installed here (Debian package wireless-tools)"
    exit 77
}
search_path=$(dirname "$real"):/usr/bin:/bin

for interface in lo wlsurvey-none0; do
    run_tool "$interface"
    problems=""
    [ "$status" = 1 ] || problems+=" status $status (want 1);"
    [ -s "$work/out" ] && problems+=" something on standard output;"
    [ "$(wc -l <"$work/err")" = 1 ] &&
        grep -E -q '^wlsurvey: scan failed: iwlist (exited with status [0-9]+|killed by signal [0-9]+); iw (not found|exited with status [0-9]+)$' \
            "$work/err" || problems+=" stderr is '$(head -c 300 "$work/err")';"
    result "real iwlist on $interface" "$problems"
done

finish
