// The least any program bound to the tool's contract can do: run the same scanner command
// through popen(), read all it prints, and write the report (computed beforehand, given as a
// file) one write(2) per line. bench/overhead.sh times wlsurvey against it.
#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[]) {
    static char report[1 << 20];
    std::FILE* expected = argc == 2 ? std::fopen(argv[1], "rb") : nullptr;
    if (expected == nullptr) return 2;
    const std::size_t size = std::fread(report, 1, sizeof report, expected);
    std::fclose(expected);

    std::FILE* scanner = popen("iwlist 'wlan0' scan essid '' last 2> /dev/null", "r");
    if (scanner == nullptr) return 1;
    static char output[1 << 20];
    while (std::fread(output, 1, sizeof output, scanner) > 0) {
    }
    if (pclose(scanner) != 0) return 1;

    for (const char* line = report; line < report + size;) {
        const char* end = static_cast<const char*>(std::memchr(line, '\n', report + size - line));
        const char* next = end != nullptr ? end + 1 : report + size;
        if (write(STDOUT_FILENO, line, static_cast<std::size_t>(next - line)) < 0) return 1;
        line = next;
    }
    return 0;
}
