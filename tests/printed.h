// What a print call writes to a file descriptor, captured as a string.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

template <typename Print>
std::string printed(Print print) {
    const int fd = memfd_create("report", 0);
    if (fd < 0) std::abort();
    print(fd);
    std::string text(static_cast<std::size_t>(lseek(fd, 0, SEEK_END)), '\0');
    if (pread(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) std::abort();
    close(fd);
    return text;
}
