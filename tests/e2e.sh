#!/usr/bin/env bash
# End-to-end tests of the report, the words handed to the scanner and every failure status.
# Usage: e2e.sh TOOL
set -u
. "$(dirname "$0")/lib.sh"

inactive=$work/inactive.report
sed 's/^\*:\*$/*:/' "$fixtures/mixed.report" >"$inactive"

# The report, the marker and the words handed to the scanner.
export FAKE_IWLIST_OUTPUT=$fixtures/mixed.scan
run_tool wlan0 HomeNet
expect "report of a mixed scan" 0 "$fixtures/mixed.report" ""
expect_args "interface and empty ESSID" wlan0 scan essid "" last
run_tool
expect "no arguments: nothing active" 0 "$inactive" ""
expect_args "no arguments: wlan0" wlan0 scan essid "" last
run_tool eth1 homenet "Cafe Corner" ignored words
expect "active name compares case-sensitively" 0 "$inactive" ""
expect_args "words after the third ignored" eth1 scan essid "Cafe Corner" last
run_tool "" "" ""
expect_args "empty words stay words" "" scan essid "" last

# Hostile words reach the scanner unchanged, as one argument each, and nothing runs.
long_word=$(head -c 4096 /dev/zero | tr '\0' 'w')
hostile=(
    "'" '"' '$HOME' '`touch backtick`' '\' ';touch semi' '|touch pipe' '&touch amp'
    '<in' '>out' '(touch x)' '{a,b}' '*' '?' '[ab]' '~' '#hash' '!' 'two words'
    "tab	tab" $'line\nfeed' '-leading-dash' "$long_word" $'\xc3\xa9\xff\x80'
    '$(touch X)' "\"\$(touch Y)\"" "'; touch Z; '" "it's \"quoted\""
)
for word in "${hostile[@]}"; do
    run_tool "$word" "" "$word"
    expect_args "hostile word $(printf %q "${word:0:40}")" "$word" scan essid "$word" last
done
leftovers=$(ls -A "$work/cwd")
result "no hostile word ran a command" "${leftovers:+ files appeared: $leftovers}"

# Scans that end badly.
export FAKE_IWLIST_EXIT=1
run_tool wlan0 HomeNet
expect "cells printed whatever the exit status" 0 "$fixtures/mixed.report" ""
export FAKE_IWLIST_OUTPUT=$fixtures/no-results.scan
export FAKE_IWLIST_EXIT=255
run_tool
expect "scanner exits 255 with no cell" 1 "$empty" "wlsurvey: scan failed: iwlist exited with status 255; iw not found"
ignore_children=yes
run_tool
expect "scanner status read with SIGCHLD ignored" 1 "$empty" "wlsurvey: scan failed: iwlist exited with status 255; iw not found"
ignore_children=
export FAKE_IWLIST_EXIT=0
run_tool
expect "no results, exit 0: empty report" 0 "$empty" ""
FAKE_IWLIST_SIGNAL=TERM run_tool
expect "scanner killed by a signal" 1 "$empty" "wlsurvey: scan failed: iwlist killed by signal 15; iw not found"
search_path=$work/none  # not even the installed scanner
run_tool
expect "scanner missing" 1 "$empty" "wlsurvey: scan failed: iwlist not found; iw not found"
# An interpreter that may not be run: the shell answers 126.
printf '#!%s\n' "$empty" >"$work/none/iwlist"
chmod +x "$work/none/iwlist"
run_tool
expect "scanner not executable" 1 "$empty" "wlsurvey: scan failed: iwlist exited with status 126; iw not found"
search_path=$scanners_first

# Failures of the tool's own.
export FAKE_IWLIST_OUTPUT=$fixtures/mixed.scan
fd_limit=4  # the three standard streams and one more: the loader works, a pipe cannot be made
run_tool
expect "no pipe can be made" 1 "$empty" "popen() failed!"
fd_limit=
# Out of memory: a scanner that never stops printing, under a memory limit. Emulators and
# sanitizers reserve address space of their own, so only a plain native build is limited.
if [ ${#emulator[@]} -eq 0 ] && [ -z "${WLSURVEY_SANITIZED:-}" ]; then
    mkdir "$work/endless"
    printf '#!/bin/sh\nexec yes "Cell 01 - Address: 02:00:00:00:00:01"\n' >"$work/endless/iwlist"
    chmod +x "$work/endless/iwlist"
    search_path=$work/endless:$PATH
    mem_limit=$((256 * 1024))
    run_tool
    expect "endless scanner output" 1 "$empty" "wlsurvey: out of memory"
    search_path=$scanners_first
    mem_limit=
fi
(PATH=$search_path exec "${emulator[@]}" "$tool") >/dev/full 2>"$work/err"
status=$?
: >"$work/out"
expect "report that cannot be written" 1 "$empty" "wlsurvey: cannot write the report"

finish
