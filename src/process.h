// Running one program as a supervised child: no shell, standard input from /dev/null, both
// outputs read through pipes, a process group of its own, a deadline, and nothing left running
// however the run ends.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wlsurvey {

/// Everything a child wrote to its standard output, read straight into one block: it is read
/// once and never copied.
class Capture {
  public:
    std::string_view text() const { return {bytes_.get(), size_}; }
    operator std::string_view() const { return text(); }

    /// Room for more bytes at the end, at least 64 KiB at first and then doubling; `room`
    /// receives how many. Bytes written there count once passed to `commit`.
    char* spare(std::size_t& room);
    void commit(std::size_t added) { size_ += added; }

    /// Makes the first 64 KiB ready now, each of its pages touched: done while the child
    /// starts, the page faults fall in time spent waiting anyway, not between its output and
    /// what is made of it.
    void prepare();

  private:
    std::unique_ptr<char[]> bytes_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

/// How one run of a child ended.
struct ChildResult {
    Capture output;      ///< every byte of its standard output, NUL bytes included
    std::string errors;  ///< the first 4 KiB of its standard error
    int waitStatus = 0;  ///< waitpid()'s status, when it was reaped
    bool reaped = false;
    int startError = 0;   ///< errno of execvp when the program could not be started
    bool killed = false;  ///< still running at its deadline, so killed
};

/// No pipe or process could be made for a child (too many open files, out of processes); its
/// message is the system's, "Too many open files", and `error` the errno.
class CannotStart : public std::runtime_error {
  public:
    explicit CannotStart(int error);
    int error;
};

using Deadline = std::chrono::steady_clock::time_point;

/// Runs `words` (the program, found on PATH as execvp finds it, then its arguments, each
/// reaching it as is) with standard input from /dev/null, both outputs read through pipes (so
/// neither can fill and block it), in a process group of its own. Still running at `deadline`,
/// its group is killed; a killed child is awaited at most `reapWithin` more, then left to the
/// kernel. SIGCHLD must not be ignored. Throws CannotStart, or std::bad_alloc while the output
/// grows; no path leaves the child running.
ChildResult runChild(const std::vector<std::string>& words, Deadline deadline,
                     std::chrono::steady_clock::duration reapWithin);

/// Stops the child being run, if any, when the tool is told to end (SIGINT, SIGTERM, SIGHUP),
/// then ends the tool by that signal; one of them the caller ignores stays ignored.
void stopChildOnTermination();

}  // namespace wlsurvey
