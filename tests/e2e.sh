#!/usr/bin/env bash
# End-to-end tests: the built tool run as a whole process with a fake scanner first on PATH,
# its standard output, standard error, exit status and the scanner's argument words checked
# byte for byte.
# Usage: e2e.sh TOOL   (WLSURVEY_EMULATOR, when set, is the command line that runs TOOL)
set -u
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
fixtures=$here/fixtures
read -r -a emulator <<<"${WLSURVEY_EMULATOR:-}"
if [ ${#emulator[@]} -gt 0 ]; then emulator[0]=$(command -v "${emulator[0]}"); fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/none" "$work/cwd"
cp "$here/fake-iwlist" "$work/bin/iwlist"
export FAKE_IWLIST_ARGS=$work/args
passed=0
failed=0

# run_tool [ARG...]: runs the tool in an empty folder with $search_path as PATH and at most
# $fd_limit open files, leaving $status and the files out and err.
scanners_first=$work/bin:$PATH
search_path=$scanners_first
fd_limit=
run_tool() {
    rm -f "$FAKE_IWLIST_ARGS"
    (
        cd "$work/cwd" || exit 99
        if [ -n "$fd_limit" ]; then
            # Descriptors a test runner leaves open would count against the limit.
            for fd in /proc/self/fd/*; do
                fd=${fd##*/}
                if [ "$fd" -gt 2 ]; then eval "exec $fd<&-"; fi
            done
            ulimit -n "$fd_limit"
        fi
        PATH=$search_path exec "${emulator[@]}" "$tool" "$@"
    ) >"$work/out" 2>"$work/err"
    status=$?
}

# expect NAME STATUS STDOUT-FILE STDERR-LINE: checks the last run_tool.
expect() {
    local name=$1 problems=""
    [ "$status" = "$2" ] || problems+=" status $status (want $2);"
    cmp -s "$work/out" "$3" || problems+=" stdout differs;"
    if [ -n "$4" ]; then printf '%s\n' "$4" >"$work/want-err"; else : >"$work/want-err"; fi
    cmp -s "$work/err" "$work/want-err" || problems+=" stderr is '$(head -c 300 "$work/err")';"
    result "$name" "$problems"
}

# expect_args NAME WORD...: the scanner got exactly these argument words.
expect_args() {
    local name=$1 problems=""
    shift
    printf '%s\0' "$@" >"$work/want-args"
    cmp -s "$FAKE_IWLIST_ARGS" "$work/want-args" || problems=" argument words differ"
    result "$name" "$problems"
}

result() {
    if [ -z "$2" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAIL: $1:$2"
    fi
}

empty=$work/empty
: >"$empty"
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
expect "scanner exits 255 with no cell" 1 "$empty" "wlsurvey: scan failed: iwlist exited with status 255"
export FAKE_IWLIST_EXIT=0
run_tool
expect "no results, exit 0: empty report" 0 "$empty" ""
FAKE_IWLIST_SIGNAL=TERM run_tool
expect "scanner killed by a signal" 1 "$empty" "wlsurvey: scan failed: iwlist killed by signal 15"
search_path=$work/none  # not even the installed scanner
run_tool
expect "scanner missing" 1 "$empty" "wlsurvey: scan failed: iwlist not found"
# An interpreter that may not be run: the shell answers 126.
printf '#!%s\n' "$empty" >"$work/none/iwlist"
chmod +x "$work/none/iwlist"
run_tool
expect "scanner not executable" 1 "$empty" "wlsurvey: scan failed: iwlist exited with status 126"
search_path=$scanners_first

# Failures of the tool's own.
export FAKE_IWLIST_OUTPUT=$fixtures/mixed.scan
fd_limit=4  # the three standard streams and one more: the loader works, a pipe cannot be made
run_tool
expect "no pipe can be made" 1 "$empty" "popen() failed!"
fd_limit=
(PATH=$search_path exec "${emulator[@]}" "$tool") >/dev/full 2>"$work/err"
status=$?
: >"$work/out"
expect "report that cannot be written" 1 "$empty" "wlsurvey: cannot write the report"

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
