// What a print call writes to a stream, captured as a string.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

template <typename Print>
std::string printed(Print print) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&data, &size);
    if (out == nullptr) std::abort();
    print(out);
    std::fclose(out);
    std::string text(data, size);
    std::free(data);
    return text;
}
