#include "textutil.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace wlsurvey {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string printable(std::string_view text, std::size_t limit) {
    std::string line(text.substr(0, limit));
    for (char& c : line) {
        if (c < ' ' || c > '~') c = '?';
    }
    return line;
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool nextLine(std::string_view& text, char delimiter, std::string_view& line) {
    if (text.empty()) return false;
    const std::size_t end = text.find(delimiter);
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return true;
}

std::string_view& ltrim(std::string_view& s) {
    // Scanner lines are indented by ten to thirty spaces: skip them eight at a time.
    static constexpr char kEightSpaces[] = "        ";
    std::size_t first = 0;
    while (s.size() - first >= 8 && std::memcmp(s.data() + first, kEightSpaces, 8) == 0) {
        first += 8;
    }
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

int hexDigit(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string unescapeHex(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            const int high = hexDigit(text[i + 2]);
            const int low = hexDigit(text[i + 3]);
            if (high >= 0 && low >= 0) {
                bytes += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        bytes += text[i];
    }
    return bytes;
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
