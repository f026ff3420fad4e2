// The tool with a second of 50 ms, so that the cases about its time limits (a scanner's 20 s,
// the run's 30 s) take a second or two; the messages still read in the tool's seconds. Given
// only the word --escape, it lets an exception escape instead, for the case about what ends it.
#include <unistd.h>

#include <stdexcept>
#include <string_view>

#include "cli.h"

int main(int argc, char* argv[]) {
    if (argc == 2 && std::string_view(argv[1]) == "--escape") throw std::logic_error("on purpose");
    return wlsurvey::run(argc, argv, STDOUT_FILENO, STDERR_FILENO, std::chrono::milliseconds(50));
}
