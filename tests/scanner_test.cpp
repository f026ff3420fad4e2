#include "scanner.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <string>

namespace wlsurvey {
namespace {

TEST(ScanCommand, QuotesEachValueAsOneWord) {
    EXPECT_EQ(scanCommand("wlan0", ""), "iwlist 'wlan0' scan essid '' last 2> /dev/null");
    EXPECT_EQ(scanCommand("wl an'0", "Joe's"),
              "iwlist 'wl an'\\''0' scan essid 'Joe'\\''s' last 2> /dev/null");
}

TEST(ScanFailure, NamesHowTheScannerEnded) {
    struct Row {
        int waitStatus;
        std::string message;
    };
    const std::string prefix = "iwlist ";
    const Row rows[] = {
        {0, ""},
        {127 << 8, prefix + "not found"},
        {126 << 8, prefix + "exited with status 126"},
        {255 << 8, prefix + "exited with status 255"},
        {1 << 8, prefix + "exited with status 1"},
        {SIGKILL, prefix + "killed by signal 9"},
        {SIGSEGV | 0x80, prefix + "killed by signal 11"},  // with a core dump
        {-1, prefix + "status unknown"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(scanFailure("iwlist", row.waitStatus), row.message) << row.waitStatus;
    }
}

}  // namespace
}  // namespace wlsurvey
