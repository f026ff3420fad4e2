// Times whole processes in interleaved rounds, without a shell's own start-up in the figures:
// each round starts every command once, in turn (posix_spawnp, standard output to /dev/null),
// and prints one line of their wall times in microseconds, from the spawn to the reaping, in
// the order the commands were given. Each round runs them in the next of all their orders: part
// of what a process costs the kernel is paid after it ends, by whatever runs next (measured: a
// program run right after the popen floor, a shell and its child, took 3 % longer than right
// after the spawn floor), so each command follows each other one as often.
// Usage: interleave ROUNDS COMMAND [WORD...] [-- COMMAND [WORD...]]...
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <vector>

extern char** environ;

int main(int argc, char* argv[]) {
    if (argc < 3) return 2;
    const int rounds = std::atoi(argv[1]);
    std::vector<std::vector<char*>> commands(1);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            commands.emplace_back();
        } else {
            commands.back().push_back(argv[i]);
        }
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    for (auto& command : commands) command.push_back(nullptr);

    std::vector<long long> took(commands.size());
    std::vector<std::size_t> order(commands.size());
    std::iota(order.begin(), order.end(), 0);
    for (int round = 0; round < rounds; ++round) {
        for (const std::size_t which : order) {
            std::vector<char*>& command = commands[which];
            const auto start = std::chrono::steady_clock::now();
            pid_t pid;
            int status;
            if (posix_spawnp(&pid, command[0], &actions, nullptr, command.data(), environ) != 0 ||
                waitpid(pid, &status, 0) != pid || status != 0) {
                std::fprintf(stderr, "interleave: %s failed\n", command[0]);
                return 1;
            }
            took[which] = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
        }
        std::next_permutation(order.begin(), order.end());  // after the last, the first again
        for (const long long microseconds : took) std::printf("%lld ", microseconds);
        std::printf("\n");
    }
    return 0;
}
