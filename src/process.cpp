#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace wlsurvey {

CannotStart::CannotStart(int errorNumber)
    : std::runtime_error(std::strerror(errorNumber)), error(errorNumber) {}

char* Capture::spare(std::size_t& room) {
    if (size_ == capacity_) {
        // A scan of a crowded place runs to megabytes: grow by doubling, copying what came.
        const std::size_t larger = capacity_ == 0 ? 64 * 1024 : 2 * capacity_;
        // Left uninitialised: every byte kept is read over.
        std::unique_ptr<char[]> bytes(new char[larger]);
        if (size_ > 0) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = larger;
    }
    room = capacity_ - size_;
    return bytes_.get() + size_;
}

void Capture::prepare() {
    std::size_t room;
    char* const start = spare(room);
    // A byte in every 4 KiB, the smallest page there is, has the kernel map each page.
    for (std::size_t at = 0; at < room; at += 4096) start[at] = 0;
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kErrorsKept = 4096;

/// The process group of the child being run, for the handler of a terminating signal.
volatile std::sig_atomic_t runningGroup = 0;

extern "C" void stopChildAndEnd(int signalNumber) {
    if (runningGroup > 0) kill(-runningGroup, SIGKILL);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);  // delivered once this handler returns
}

/// A file descriptor, closed when it goes.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
    void reset(int fd = -1) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

struct Pipe {
    Fd read, write;
};

/// A pipe whose ends the child does not inherit: only the copies it is given survive exec.
bool makePipe(Pipe& pipe, int flags = 0) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | flags) != 0) return false;
    pipe.read.reset(ends[0]);
    pipe.write.reset(ends[1]);
    return true;
}

/// Milliseconds from now to `deadline` for poll(), rounded up so that a wait never ends early;
/// 0 once it has passed.
int millisecondsUntil(Deadline deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 1 << 30));
}

/// A started child: killed with its group and reaped, within bounds, however the run ends.
class Child {
  public:
    Child(pid_t pid, const sigset_t& childSignal, Clock::duration reapWithin)
        : pid_(pid), childSignal_(childSignal), reapWithin_(reapWithin) {
        runningGroup = pid;
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (pid_ > 0) {
            kill();
            int status;
            reap(Clock::now() + reapWithin_, status);
        }
        runningGroup = 0;
    }

    void kill() {
        if (pid_ <= 0) return;  // reaped or given up: -0 would be the tool's own group
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);  // should it not have its own group yet
    }

    /// Leaves a child that would not die to the kernel.
    void abandon() { pid_ = 0; }

    /// Waits until `deadline` for the child to end; true, with its `status`, when it did.
    bool reap(Deadline deadline, int& status) {
        for (;;) {
            const pid_t ended = waitpid(pid_, &status, WNOHANG);
            if (ended == pid_) {
                pid_ = 0;
                return true;
            }
            if (ended < 0 && errno != EINTR) {
                pid_ = 0;  // not ours to wait for any more
                return false;
            }
            const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
            if (left == Clock::duration::zero()) return false;
            const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
            const timespec wait{
                static_cast<time_t>(seconds.count()),
                static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
            // SIGCHLD is blocked, so one that came since the waitpid above is still pending.
            sigtimedwait(&childSignal_, nullptr, &wait);
        }
    }

  private:
    pid_t pid_;
    const sigset_t& childSignal_;
    Clock::duration reapWithin_;
};

/// Blocks SIGCHLD for as long as it lives, so that a child's end can be awaited with a limit.
class ChildSignalBlocked {
  public:
    ChildSignalBlocked() {
        sigemptyset(&childSignal);
        sigaddset(&childSignal, SIGCHLD);
        sigprocmask(SIG_BLOCK, &childSignal, &before);
    }
    ChildSignalBlocked(const ChildSignalBlocked&) = delete;
    ChildSignalBlocked& operator=(const ChildSignalBlocked&) = delete;
    ~ChildSignalBlocked() { sigprocmask(SIG_SETMASK, &before, nullptr); }

    sigset_t childSignal;
    sigset_t before;
};

/// What the child needs between vfork and exec, made beforehand: there it may only make
/// system calls on what it is given.
struct Start {
    char* const* argv;
    int input, output, errors, startError;
    const sigset_t* signalMask;
};

/// In the child: `fd` as the descriptor `target`, kept across exec. A tool started with its
/// standard streams closed has its pipes there already, and dup2 onto itself would leave
/// close-on-exec set.
void becomes(int fd, int target) {
    if (fd == target) {
        fcntl(fd, F_SETFD, 0);
    } else {
        dup2(fd, target);
    }
}

/// The child's side: its own group, so that a kill reaches whatever it starts; the signal mask
/// as the tool had it; /dev/null and the pipes as its standard streams; then the program.
[[noreturn]] void execChild(const Start& start) {
    setpgid(0, 0);
    sigprocmask(SIG_SETMASK, start.signalMask, nullptr);
    becomes(start.input, STDIN_FILENO);
    becomes(start.output, STDOUT_FILENO);
    becomes(start.errors, STDERR_FILENO);
    execvp(start.argv[0], start.argv);
    const int error = errno;
    if (write(start.startError, &error, sizeof error) < 0) _exit(126);
    _exit(127);
}

/// Reads what is ready on `fd` into `output`; false at end of file or on an error.
bool readOutput(int fd, Capture& output) {
    std::size_t room;
    char* at = output.spare(room);
    const ssize_t got = read(fd, at, room);
    if (got < 0 && errno == EINTR) return true;
    if (got <= 0) return false;
    output.commit(static_cast<std::size_t>(got));
    return true;
}

bool readErrors(int fd, std::string& errors) {
    // A complaint is a line or two: a small chunk keeps to stack pages the run has touched
    // already (a fresh page costs a fault just as the child ends).
    char chunk[1024];
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) return true;
    if (got <= 0) return false;
    // Read to the end all the same: a child blocked on a full pipe never finishes.
    const std::size_t kept = std::min(static_cast<std::size_t>(got), kErrorsKept - errors.size());
    errors.append(chunk, kept);
    return true;
}

}  // namespace

ChildResult runChild(const std::vector<std::string>& words, Deadline deadline,
                     Clock::duration reapWithin) {
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    // Standard output, standard error, and the error of execvp should it fail in the child:
    // written before the child ends, so there to read once both outputs are closed.
    Pipe out, err, started;
    if (!makePipe(out) || !makePipe(err) || !makePipe(started, O_NONBLOCK)) {
        throw CannotStart(errno);
    }
    const Fd nothing(open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (nothing.get() < 0) throw CannotStart(errno);

    ChildSignalBlocked blocked;
    const Start start{argv.data(),     nothing.get(),       out.write.get(),
                      err.write.get(), started.write.get(), &blocked.before};
    // vfork: nothing of the tool is copied, and it is the one way to start a child that every
    // emulator the cross builds are tested under handles.
    const pid_t pid = vfork();
    if (pid < 0) throw CannotStart(errno);
    if (pid == 0) execChild(start);
    setpgid(pid, pid);  // both sides, so the group exists before either goes on
    Child child(pid, blocked.childSignal, reapWithin);
    out.write.reset();
    err.write.reset();
    started.write.reset();

    ChildResult result;
    result.output.prepare();  // the parent has nothing else to do while the child starts
    pollfd watched[] = {{out.read.get(), POLLIN, 0}, {err.read.get(), POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        const int ready = poll(watched, 2, millisecondsUntil(deadline));
        if (ready < 0 && errno != EINTR) break;
        if (ready == 0) break;  // the deadline
        for (pollfd& pipe : watched) {
            if (pipe.fd < 0 || pipe.revents == 0) continue;
            const bool more = &pipe == &watched[0] ? readOutput(pipe.fd, result.output)
                                                   : readErrors(pipe.fd, result.errors);
            if (!more) {
                pipe.fd = -1;  // poll() passes over it from now on
                --open;
            }
        }
    }

    if (read(started.read.get(), &result.startError, sizeof result.startError) <= 0) {
        result.startError = 0;
    }

    // Output still open at the deadline (the child, or a child of its, still at work), or a
    // child that closed it but does not end: kill its group.
    result.reaped = open == 0 && child.reap(deadline, result.waitStatus);
    if (!result.reaped) {
        child.kill();
        result.killed = true;
        result.reaped = child.reap(Clock::now() + reapWithin, result.waitStatus);
        if (!result.reaped) child.abandon();
    }
    return result;
}

void stopChildOnTermination() {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller ignores (nohup) stays ignored, for the child too.
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        std::signal(signalNumber, stopChildAndEnd);
    }
}

}  // namespace wlsurvey
