// The command line: the options and words, the help, the report or the failure line, and the
// exit status that tells a calling program the cause.
#pragma once

#include <chrono>

namespace wlsurvey {

/// The whole tool: `argv` is program, then the leading options (--json, --cached; -h, --help or
/// --version instead of a survey; `--` to end them), then optionally interface, active SSID and
/// ESSID. With no interface word, the adapter is found under /sys/class/net. Returns the
/// process exit status: 0 after a report (or the help), else the cause's status after one line
/// on `err`, 64 for a usage error. `out` and `err` are file descriptors. A scanner gets 20
/// `second`s, the run 30; only a test build shortens the second.
int run(int argc, const char* const argv[], int out, int err,
        std::chrono::milliseconds second = std::chrono::seconds(1));

}  // namespace wlsurvey
