# Shared by the end-to-end test scripts: runs the built tool as a whole process with a fake
# scanner first on PATH and checks its standard output, standard error and exit status byte for
# byte. Source it with the tool's path as $1; WLSURVEY_EMULATOR, when set, is the command line
# that runs the tool (qemu-arm for a cross build).
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

# run_tool [ARG...]: runs the tool in an empty folder with $search_path as PATH, at most
# $fd_limit open files and $mem_limit KiB of address space and, when $ignore_children is set, SIGCHLD ignored as the tool's parent
# may leave it; leaves $status and the files out and err.
scanners_first=$work/bin:/usr/bin:/bin
search_path=$scanners_first
fd_limit=
mem_limit=
ignore_children=
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
        if [ -n "$mem_limit" ]; then ulimit -v "$mem_limit"; fi
        if [ -n "$ignore_children" ]; then trap '' CHLD; fi
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

# finish: prints the tally the way test runners read it and exits accordingly.
finish() {
    echo "$(basename "$0" .sh): $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
