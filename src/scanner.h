// The outside scanners: the commands that run them, each run as a supervised child process
// (no shell, a time limit, its complaint kept), and how a run's ending reads.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wlsurvey {

/// One scanner command: how the failure line names it, and the words it is run with (the
/// program, found on PATH as execvp finds it, then its arguments, each reaching it as is).
struct Command {
    std::string_view name;
    std::vector<std::string> words;
};

/// iwlist IF scan essid ESSID last: a fresh scan through wireless extensions.
Command scanCommand(std::string_view interfaceName, std::string_view essid);

/// iw dev IF scan [ssid ESSID]: the same scan through nl80211, for when wireless extensions
/// cannot scan.
Command iwScanCommand(std::string_view interfaceName, std::string_view essid);

/// iwlist IF scan last: the results the kernel already holds (kept 30 s), starting no scan;
/// allowed without root, and waits for a scan another process has under way.
Command cachedScanCommand(std::string_view interfaceName);

/// iw dev IF scan dump: the kernel's held results through nl80211, at once.
Command iwDumpCommand(std::string_view interfaceName);

/// Everything a scanner wrote to its standard output, read straight into one block: a scan
/// is read once and never copied.
class Capture {
  public:
    std::string_view text() const { return {bytes_.get(), size_}; }
    operator std::string_view() const { return text(); }

    /// Room for more bytes at the end, at least 64 KiB at first and then doubling; `room`
    /// receives how many. Bytes written there count once passed to `commit`.
    char* spare(std::size_t& room);
    void commit(std::size_t added) { size_ += added; }

    /// Makes the first 64 KiB ready now, each of its pages touched: done while the scanner
    /// starts, the page faults fall in time the tool spends waiting anyway, not between the
    /// scanner's output and the report.
    void prepare();

  private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

/// How one run of a scanner ended.
struct ScanResult {
    Capture output;      ///< every byte of its standard output, NUL bytes included
    std::string errors;  ///< the first 4 KiB of its standard error
    int waitStatus = 0;  ///< waitpid()'s status, when it was reaped
    bool reaped = false;
    int startError = 0;   ///< errno of execvp when the program could not be started
    bool killed = false;  ///< still running at its deadline, so killed
};

/// No pipe or process could be made for a scanner (too many open files, out of processes).
/// Its message: "cannot run iwlist: Too many open files".
class CannotRun : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

using Deadline = std::chrono::steady_clock::time_point;

/// Runs `command` with standard input from /dev/null, both outputs read through pipes (so
/// neither can fill and block it), in a process group of its own. Still running at
/// `deadline`, its group is killed; a killed child is awaited at most `reapWithin` more, then
/// left to the kernel. SIGCHLD must not be ignored. Throws CannotRun, or std::bad_alloc while
/// the output grows; no path leaves the child running.
ScanResult runScanner(const Command& command, Deadline deadline,
                      std::chrono::steady_clock::duration reapWithin);

/// Stops the scanner being run, if any, when the tool is told to end (SIGINT, SIGTERM,
/// SIGHUP), then ends the tool by that signal; one of them the caller ignores stays ignored.
void stopScannerOnTermination();

/// How `name`'s run ended, or an empty string when it exited with status 0: "iwlist exited
/// with status 255", "iw not found", "iwlist killed by signal 9", then " (REASON)" when it
/// wrote one on standard error. A killed run reads `name` + " " + `overrun`.
std::string scanFailure(std::string_view name, const ScanResult& result, std::string_view overrun);

/// What a scanner said on standard error, fit for one line: its first non-empty line, runs of
/// blanks made one space, trimmed, bytes outside printable ASCII as '?', at most 120 bytes.
std::string scanReason(std::string_view errors);

}  // namespace wlsurvey
