#include "textutil.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace wlsurvey {
namespace {

TEST(Exec, CapturesEveryByteAndTheStatus) {
    int status = -1;
    EXPECT_EQ(exec("true", &status).text(), "");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    // A line far longer than any read buffer arrives whole, NUL bytes and all.
    const std::string longLine(200000, 'x');
    EXPECT_EQ(exec("head -c 200000 /dev/zero | tr '\\0' x; printf '\\nA\\0B'").text(),
              longLine + "\nA" + '\0' + "B");

    EXPECT_EQ(exec("echo partial; exit 3", &status).text(), "partial\n");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3);
}

TEST(Split, CutsAtTheDelimiterLikeLineReading) {
    struct Row {
        std::string text;
        std::vector<std::string_view> pieces;
        const char* why;
    };
    const Row rows[] = {
        {"", {}, "empty text gives no pieces"},
        {"a\n\nb\n", {"a", "", "b"}, "consecutive delimiters give an empty piece"},
        {"a\nb", {"a", "b"}, "unterminated last piece is kept"},
        {"\n", {""}, "lone delimiter gives one empty piece"},
        {"a\rb\n", {"a\rb"}, "only the delimiter cuts"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        LineList lines;
        split(row.text, '\n', lines);
        EXPECT_EQ(lines, row.pieces);
    }

    LineList lines{"kept"};
    split("x\n", '\n', lines);
    EXPECT_EQ(lines, (LineList{"kept", "x"})) << "split appends, it does not clear";
}

TEST(Trim, StripsPosixWhitespaceOnly) {
    struct Row {
        std::string in, left, right, both;
    };
    const Row rows[] = {
        {"", "", "", ""},
        {" \t\n\v\f\r", "", "", ""},
        {"\t\tCell 01\r", "Cell 01\r", "\t\tCell 01", "Cell 01"},
        {"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},
        {" a b ", "a b ", " a b", "a b"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.in));
        std::string_view left = row.in, right = row.in, both = row.in;
        EXPECT_EQ(ltrim(left), row.left);
        EXPECT_EQ(rtrim(right), row.right);
        EXPECT_EQ(trim(both), row.both);
        EXPECT_EQ(both, row.both) << "trim works in place";
    }
}

TEST(Matches, PrefixAndNeedleTests) {
    struct Row {
        bool anywhere;
        std::string_view line, pattern;
        bool found;
        std::string_view rest;
        const char* why;
    };
    const Row rows[] = {
        {false, "ESSID:\"x\"", "ESSID:", true, "\"x\"", "prefix"},
        {false, "ESSID:", "ESSID:", true, "", "line equal to prefix"},
        {false, "ESSID", "ESSID:", false, "untouched", "line one byte short"},
        {false, "essid:\"x\"", "ESSID:", false, "untouched", "case-sensitive"},
        {false, " ESSID:x", "ESSID:", false, "untouched", "prefix only at the start"},
        {false, "abc", "", true, "abc", "empty prefix matches"},
        {true, "IE: WPA and WPA2", "WPA", true, " and WPA2", "first occurrence"},
        {true, "(Channel 6)", "(Channel ", true, "6)", "needle at the start"},
        {true, "Channel 6", "(Channel ", false, "untouched", "absent needle"},
        {true, "x WPA", "WPA", true, "", "needle at the end"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        std::string_view rest = "untouched";
        const bool found = row.anywhere ? matchesAnywhere(row.line, row.pattern, rest)
                                        : matches(row.line, row.pattern, rest);
        EXPECT_EQ(found, row.found);
        EXPECT_EQ(rest, row.rest);
    }
}

TEST(ReadInt, ReadsLikeAtoiButSaturates) {
    struct Row {
        std::string_view text;
        std::int32_t value;
    };
    const Row rows[] = {
        {"", 0},
        {"abc", 0},
        {"-", 0},
        {"58", 58},
        {" \t\n\v\f\r70 dBm", 70},
        {"+5", 5},
        {"-92", -92},
        {"12abc", 12},
        {"5.5", 5},
        {"- 3", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"99999999999999999999999999", 2147483647},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(readInt(row.text), row.value) << testing::PrintToString(row.text);
    }
}

}  // namespace
}  // namespace wlsurvey
