// The small text tests every scanner-line rule is written in, and writing whole lines.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wlsurvey {

/// POSIX-locale whitespace: space, \t, \n, \v, \f, \r; bytes 0x80-0xFF never are.
inline bool isSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

/// Ordered lines, appended at the end and walked front to back. The views point into the
/// text they were cut from, which must outlive the list.
using LineList = std::vector<std::string_view>;

/// The decimal text of a number, made without allocating.
struct Decimal {
    explicit Decimal(std::int64_t value)
        : size(static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                        digits)) {}
    operator std::string_view() const { return {digits, size}; }

    char digits[21];
    std::size_t size;
};

/// Writes all of `text` to the file descriptor `fd`, in one write unless the kernel takes
/// less; false when it could not.
bool writeAll(int fd, std::string_view text);

/// `text` fit for one line of a message: bytes outside printable ASCII as '?', at most `limit`
/// bytes.
std::string printable(std::string_view text, std::size_t limit);

/// Takes the first piece of `text` up to `delimiter` into `line` and removes it, with the
/// delimiter, from `text`. False, with nothing taken, when `text` is empty; so a final
/// delimiter gives no empty piece after it.
bool nextLine(std::string_view& text, char delimiter, std::string_view& line);

/// Strip the POSIX-locale whitespace (space, \t, \n, \v, \f, \r) in place; bytes 0x80-0xFF
/// are never whitespace. `trim` is `rtrim` then `ltrim`; each returns its argument.
std::string_view& ltrim(std::string_view& s);
std::string_view& rtrim(std::string_view& s);
std::string_view& trim(std::string_view& s);

/// True when `line` begins with `prefix`; then `rest` receives what follows it.
/// On false `rest` is left untouched.
/// (Inlined: every line of a scan meets several of these tests, with constant prefixes.)
[[gnu::always_inline]] inline bool matches(std::string_view line, std::string_view prefix,
                                           std::string_view& rest) {
    if (line.size() < prefix.size() || line.compare(0, prefix.size(), prefix) != 0) return false;
    rest = line.substr(prefix.size());
    return true;
}

/// True when `needle` occurs in `line`; then `rest` receives what follows its first
/// occurrence. On false `rest` is left untouched.
[[gnu::always_inline]] inline bool matchesAnywhere(std::string_view line, std::string_view needle,
                                                   std::string_view& rest) {
    const std::size_t at = line.find(needle);
    if (at == std::string_view::npos) return false;
    rest = line.substr(at + needle.size());
    return true;
}

/// The value of one hexadecimal digit (either case), or -1 for any other byte.
int hexDigit(char c);

/// `text` with every `\xHH` escape (two hex digits, either case) turned into its byte; a
/// backslash that starts no such escape stays as it is.
std::string unescapeHex(std::string_view text);

/// Reads a decimal number as atoi() does (leading whitespace, optional sign, digits up to the
/// first other byte; no digits read as 0), but saturates at the signed 32-bit limits.
std::int32_t readInt(std::string_view text);

}  // namespace wlsurvey
