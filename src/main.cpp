#include <iostream>

#include "survey.h"

int main(int argc, char* argv[]) {
    return wlsurvey::run(argc, argv, std::cout, std::cerr);
}
