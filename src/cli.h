// The command line: the options and words, the help, the report or the failure line, and the
// exit status that tells a calling program the cause.
#pragma once

#include <chrono>

namespace wlsurvey {

/// The whole tool: `argv` is program, then the options --json and --cached in any order, then
/// optionally interface, active SSID and ESSID; or -h, --help or --version first. Returns the
/// process exit status: 0 after a report (or the help), else the cause's status after one line
/// on `err`. `out` and `err` are file descriptors. A scanner gets 20 `second`s, the run 30; only
/// a test build shortens the second.
int run(int argc, const char* const argv[], int out, int err,
        std::chrono::milliseconds second = std::chrono::seconds(1));

}  // namespace wlsurvey
