#include "textutil.h"

#include <cstdio>
#include <limits>
#include <stdexcept>

namespace wlsurvey {

namespace {

bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string exec(const char* command, int* waitStatus) {
    std::FILE* pipe = popen(command, "r");
    if (pipe == nullptr) throw std::runtime_error("popen() failed!");

    std::string output;
    // Large reads bypass the stream's own buffer; a scan of a crowded place runs to megabytes.
    char chunk[64 * 1024];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe);
        output.append(chunk, got);
        if (got < sizeof chunk) break;  // end of output, or a read error: keep what came
    }
    const int status = pclose(pipe);
    if (waitStatus != nullptr) *waitStatus = status;
    return output;
}

void split(std::string_view text, char delimiter, LineList& lines) {
    while (!text.empty()) {
        const std::size_t end = text.find(delimiter);
        if (end == std::string_view::npos) {
            lines.push_back(text);
            return;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
}

std::string_view& ltrim(std::string_view& s) {
    std::size_t first = 0;
    while (first < s.size() && isSpace(s[first])) ++first;
    s.remove_prefix(first);
    return s;
}

std::string_view& rtrim(std::string_view& s) {
    std::size_t end = s.size();
    while (end > 0 && isSpace(s[end - 1])) --end;
    s.remove_suffix(s.size() - end);
    return s;
}

std::string_view& trim(std::string_view& s) {
    return ltrim(rtrim(s));
}

bool matches(std::string_view line, std::string_view prefix, std::string_view& rest) {
    if (line.size() < prefix.size() || line.compare(0, prefix.size(), prefix) != 0) return false;
    rest = line.substr(prefix.size());
    return true;
}

bool matchesAnywhere(std::string_view line, std::string_view needle, std::string_view& rest) {
    const std::size_t at = line.find(needle);
    if (at == std::string_view::npos) return false;
    rest = line.substr(at + needle.size());
    return true;
}

std::int32_t readInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // Accumulate toward the limit of the sign's side so INT32_MIN itself is reachable.
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    const std::int64_t limit = negative ? kMax + 1 : kMax;
    std::int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value >= limit) {
            value = limit;
            break;
        }
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace wlsurvey
