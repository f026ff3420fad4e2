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

void Capture::discard(std::size_t count) {
    count = std::min(count, size_);
    if (count < size_) std::memmove(bytes_.get(), bytes_.get() + count, size_ - count);
    size_ -= count;
}

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kErrorsKept = 4096;

/// The process groups of the children being run, for the handler of a terminating signal: a
/// listener and a scanner at most run at once, with room to spare.
volatile std::sig_atomic_t runningGroups[4] = {};

extern "C" void stopChildrenAndEnd(int signalNumber) {
    for (volatile std::sig_atomic_t& group : runningGroups) {
        if (group <= 0) continue;
        kill(-group, SIGKILL);
        kill(group, SIGKILL);  // should it not have its own group yet
    }
    // Reaped before the tool ends, so that whoever waits for it finds no child of its left: a
    // second at most, for one stuck in the kernel.
    for (int tick = 0; tick < 100; ++tick) {
        bool left = false;
        for (volatile std::sig_atomic_t& group : runningGroups) {
            if (group <= 0) continue;
            int status;
            const pid_t ended = waitpid(group, &status, WNOHANG);
            if (ended == group || (ended < 0 && errno != EINTR)) {
                group = 0;
            } else {
                left = true;
            }
        }
        if (!left) break;
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);  // delivered once this handler returns
}

void supervise(pid_t pid) {
    for (volatile std::sig_atomic_t& group : runningGroups) {
        if (group == 0) {
            group = pid;
            return;
        }
    }
}

void release(pid_t pid) {
    for (volatile std::sig_atomic_t& group : runningGroups) {
        if (group == pid) group = 0;
    }
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
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
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

/// SIGCHLD blocked while any child runs, so that a child's end can be awaited with a limit;
/// the tool's own mask, for the children to start with and to restore after the last.
sigset_t childSignal;
sigset_t toolMask;
int childrenHeld = 0;

void holdChildSignal() {
    if (childrenHeld++ > 0) return;
    sigemptyset(&childSignal);
    sigaddset(&childSignal, SIGCHLD);
    sigprocmask(SIG_BLOCK, &childSignal, &toolMask);
}

void releaseChildSignal() {
    if (--childrenHeld == 0) sigprocmask(SIG_SETMASK, &toolMask, nullptr);
}

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

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

Child::Child(const std::vector<std::string>& words, Clock::duration reapWithin)
    : reapWithin_(reapWithin) {
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);

    // Standard output, standard error, and the error of execvp should it fail in the child.
    Pipe out, err, started;
    if (!makePipe(out) || !makePipe(err) || !makePipe(started, O_NONBLOCK)) {
        throw CannotStart(errno);
    }
    const Fd nothing(open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (nothing.get() < 0) throw CannotStart(errno);

    holdChildSignal();
    const Start start{argv.data(),     nothing.get(),       out.write.get(),
                      err.write.get(), started.write.get(), &toolMask};
    // vfork: nothing of the tool is copied, and it is the one way to start a child that every
    // emulator the cross builds are tested under handles. The tool goes on once the child has
    // exec'd or failed to.
    const pid_t pid = vfork();
    if (pid < 0) {
        const int error = errno;
        releaseChildSignal();
        throw CannotStart(error);
    }
    if (pid == 0) execChild(start);
    pid_ = pid;
    supervise(pid);
    out_ = out.read.release();
    err_ = err.read.release();
    started_ = started.read.release();
    try {
        output_.prepare();  // the tool has nothing else to do while the child starts
    } catch (...) {
        stop();
        throw;
    }
}

Child::Stop Child::read(Deadline deadline, Enough enough, const void* context) {
    pollfd watched[] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    while (out_ >= 0 || err_ >= 0) {
        watched[0].fd = out_;  // poll() passes over a closed one
        watched[1].fd = err_;
        const int ready = poll(watched, 2, millisecondsUntil(deadline));
        if (ready == 0 || (ready < 0 && errno != EINTR)) return Stop::deadline;
        bool grew = false;
        if (watched[0].fd >= 0 && watched[0].revents != 0) {
            const std::size_t before = output_.text().size();
            if (!readOutput(out_, output_)) closeFd(out_);
            grew = output_.text().size() > before;
        }
        if (watched[1].fd >= 0 && watched[1].revents != 0 && !readErrors(err_, errors_)) {
            closeFd(err_);
        }
        if (grew && enough != nullptr && enough(output_, context)) return Stop::enough;
    }
    return Stop::closed;
}

ChildResult Child::finish(Deadline deadline) {
    ChildResult result;
    // Written before the child ended, so there to read once both outputs are closed (a child
    // that an emulator starts by fork may still be on its way to exec before).
    if (::read(started_, &result.startError, sizeof result.startError) <= 0) result.startError = 0;
    // Output still open at the deadline (the child, or a child of its, still at work), or a
    // child that closed it but does not end: kill its group.
    result.reaped = out_ < 0 && err_ < 0 && reap(deadline, result.waitStatus);
    if (!result.reaped && pid_ > 0) {
        kill();
        result.killed = true;
        result.reaped = reap(Clock::now() + reapWithin_, result.waitStatus);
        if (!result.reaped) forget();  // left to the kernel
    }
    result.output = std::move(output_);
    result.errors = std::move(errors_);
    closeFd(out_);
    closeFd(err_);
    closeFd(started_);
    return result;
}

void Child::stop() {
    if (pid_ > 0) {
        kill();
        int status;
        if (!reap(Clock::now() + reapWithin_, status)) forget();
    }
    closeFd(out_);
    closeFd(err_);
    closeFd(started_);
}

void Child::kill() {
    if (pid_ <= 0) return;  // reaped or given up: -0 would be the tool's own group
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);  // should it not have its own group yet
}

void Child::forget() {
    release(pid_);
    pid_ = 0;
    releaseChildSignal();
}

bool Child::reap(Deadline deadline, int& status) {
    for (;;) {
        const pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            forget();
            return true;
        }
        if (ended < 0 && errno != EINTR) {
            forget();  // not ours to wait for any more
            return false;
        }
        const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
        if (left == Clock::duration::zero()) return false;
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        const timespec wait{static_cast<time_t>(seconds.count()),
                            static_cast<long>(std::chrono::nanoseconds(left - seconds).count())};
        // SIGCHLD is blocked, so one that came since the waitpid above is still pending; one
        // another child's end sent wakes this wait early, and the loop looks again.
        sigtimedwait(&childSignal, nullptr, &wait);
    }
}

ChildResult runChild(const std::vector<std::string>& words, Deadline deadline,
                     Clock::duration reapWithin) {
    Child child(words, reapWithin);
    child.read(deadline);
    return child.finish(deadline);
}

void stopChildOnTermination() {
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller ignores (nohup) stays ignored, for the child too.
        struct sigaction current {};
        if (sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
            continue;
        }
        std::signal(signalNumber, stopChildrenAndEnd);
    }
}

}  // namespace wlsurvey
