#include <unistd.h>

#include "cli.h"

int main(int argc, char* argv[]) {
    return wlsurvey::run(argc, argv, STDOUT_FILENO, STDERR_FILENO);
}
