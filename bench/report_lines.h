// What both floors do around starting the scanner: read the expected report, computed
// beforehand, and write it one write(2) per line, as the tool writes its report.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstring>

/// Reads the file `path` into `report`; its size, or -1 when it cannot be read.
inline long readReport(const char* path, char (&report)[1 << 20]) {
    std::FILE* expected = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (expected == nullptr) return -1;
    const std::size_t size = std::fread(report, 1, sizeof report, expected);
    std::fclose(expected);
    return static_cast<long>(size);
}

/// Writes `size` bytes of `report` to standard output, one write(2) per line; false on error.
inline bool writeLines(const char* report, long size) {
    const char* const last = report + size;
    for (const char* line = report; line < last;) {
        const char* end = static_cast<const char*>(std::memchr(line, '\n', last - line));
        const char* next = end != nullptr ? end + 1 : last;
        if (write(STDOUT_FILENO, line, static_cast<std::size_t>(next - line)) < 0) return false;
        line = next;
    }
    return true;
}
