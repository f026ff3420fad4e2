// The least a program that runs the scanner as the tool does can cost: start it without a
// shell (vfork and execvp, standard input from /dev/null, both outputs through pipes read with
// poll), read all it prints, reap it, and write the report (computed beforehand, given as a
// file) one write(2) per line. bench/overhead.sh times wlsurvey against it.
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "report_lines.h"

int main(int argc, char* argv[]) {
    static char report[1 << 20];
    const long size = readReport(argc == 2 ? argv[1] : nullptr, report);
    if (size < 0) return 2;

    int out[2], err[2];
    const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0 || nothing < 0) return 1;
    const pid_t pid = vfork();
    if (pid < 0) return 1;
    if (pid == 0) {
        dup2(nothing, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        char* const words[] = {const_cast<char*>("iwlist"),
                               const_cast<char*>("wlan0"),
                               const_cast<char*>("scan"),
                               const_cast<char*>("essid"),
                               const_cast<char*>(""),
                               const_cast<char*>("last"),
                               nullptr};
        execvp(words[0], words);
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    static char output[1 << 20];
    pollfd pipes[] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    for (int open = 2; open > 0;) {
        if (poll(pipes, 2, -1) < 0) return 1;
        for (pollfd& p : pipes) {
            if (p.fd >= 0 && p.revents != 0 && read(p.fd, output, sizeof output) <= 0) {
                close(p.fd);
                p.fd = -1;
                --open;
            }
        }
    }
    int status;
    if (waitpid(pid, &status, 0) != pid || status != 0) return 1;

    return writeLines(report, size) ? 0 : 1;
}
