#include <cstdio>

#include "survey.h"

int main(int argc, char* argv[]) {
    return wlsurvey::run(argc, argv, stdout, stderr);
}
