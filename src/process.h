// Running one program as a supervised child: no shell, standard input from /dev/null, both
// outputs read through pipes, a process group of its own, a deadline, and nothing left running
// however the run ends.
#pragma once

#include <sys/types.h>

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

    /// Drops the first `count` bytes, keeping the rest: a child read as it goes keeps only what
    /// is still to be read.
    void discard(std::size_t count);

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

/// One program run as a supervised child: found on PATH as execvp finds it, its arguments each
/// reaching it as is, standard input from /dev/null, both outputs read through pipes (so
/// neither can fill and block it), in a process group of its own. Whatever it started goes
/// with it: the group is killed and the child reaped, within bounds, however its owner ends
/// (an exception, a terminating signal). Several may run at once. SIGCHLD must not be ignored.
class Child {
  public:
    /// Starts `words`; a killed child is awaited at most `reapWithin`, then left to the
    /// kernel. Throws CannotStart.
    Child(const std::vector<std::string>& words, std::chrono::steady_clock::duration reapWithin);
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() { stop(); }

    /// Why read() returned.
    enum class Stop : unsigned char { closed, deadline, enough };

    /// Tells whether what a child printed so far is all that is awaited; it may trim `output`.
    using Enough = bool (*)(Capture& output, const void* context);

    /// Reads what the child writes until both outputs are closed, `deadline` passes or, after
    /// standard output grew, `enough(output(), context)` says so. Standard output accumulates
    /// in output(); standard error's first 4 KiB are kept.
    Stop read(Deadline deadline, Enough enough = nullptr, const void* context = nullptr);

    /// How it ended: awaited until `deadline` once its outputs are closed, else killed with
    /// its group and awaited `reapWithin` more. Its output and errors move into the result.
    ChildResult finish(Deadline deadline);

    /// Kills its group and awaits it, `reapWithin` at most; nothing once it has been reaped.
    void stop();

    Capture& output() { return output_; }

  private:
    bool reap(Deadline deadline, int& status);
    void kill();
    void forget();

    pid_t pid_ = 0;
    int out_ = -1, err_ = -1;  ///< the output pipes' read ends, -1 once closed
    int started_ = -1;         ///< the pipe execvp's errno comes through, should it fail
    std::chrono::steady_clock::duration reapWithin_;
    Capture output_;
    std::string errors_;
};

/// A Child of `words` read to its end or to `deadline`, then finished.
ChildResult runChild(const std::vector<std::string>& words, Deadline deadline,
                     std::chrono::steady_clock::duration reapWithin);

/// Stops the children being run, if any, when the tool is told to end (SIGINT, SIGTERM, SIGHUP):
/// kills their groups, reaps them (a second at most), then ends the tool by that signal. One of
/// them the caller ignores stays ignored.
void stopChildOnTermination();

}  // namespace wlsurvey
