// The tool with a second of 50 ms, so that the cases about its time limits (a scanner's 20 s,
// the run's 30 s) take a second or two; the messages still read in the tool's seconds.
#include <unistd.h>

#include "survey.h"

int main(int argc, char* argv[]) {
    return wlsurvey::run(argc, argv, STDOUT_FILENO, STDERR_FILENO, std::chrono::milliseconds(50));
}
