// Times whole processes in interleaved rounds, without a shell's own start-up in the figures:
// each round starts every command once, in turn (posix_spawnp, standard output to /dev/null),
// and prints one line of their wall times in microseconds, from the spawn to the reaping.
// Usage: interleave ROUNDS COMMAND [WORD...] [-- COMMAND [WORD...]]...
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

    for (int round = 0; round < rounds; ++round) {
        for (auto& command : commands) {
            const auto start = std::chrono::steady_clock::now();
            pid_t pid;
            int status;
            if (posix_spawnp(&pid, command[0], &actions, nullptr, command.data(), environ) != 0 ||
                waitpid(pid, &status, 0) != pid || status != 0) {
                std::fprintf(stderr, "interleave: %s failed\n", command[0]);
                return 1;
            }
            const auto took = std::chrono::steady_clock::now() - start;
            std::printf("%lld ",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
        }
        std::printf("\n");
    }
    return 0;
}
