#include "scanner.h"

#include <sys/wait.h>

namespace wlsurvey {

std::string shellQuote(std::string_view word) {
    std::string quoted;
    quoted.reserve(word.size() + 2);
    quoted += '\'';
    for (const char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string scanCommand(std::string_view interfaceName, std::string_view essid) {
    return "iwlist " + shellQuote(interfaceName) + " scan essid " + shellQuote(essid) +
           " last 2> /dev/null";
}

std::string iwScanCommand(std::string_view interfaceName, std::string_view essid) {
    std::string command = "iw dev " + shellQuote(interfaceName) + " scan";
    if (!essid.empty()) command += " ssid " + shellQuote(essid);
    return command + " 2> /dev/null";
}

std::string scanFailure(std::string_view program, int waitStatus) {
    const std::string prefix = std::string(program) + ' ';
    if (waitStatus == -1) return prefix + "status unknown";
    if (WIFEXITED(waitStatus)) {
        const int code = WEXITSTATUS(waitStatus);
        if (code == 0) return {};
        // The shell's own answer when the program is not on PATH.
        if (code == 127) return prefix + "not found";
        return prefix + "exited with status " + std::to_string(code);
    }
    if (WIFSIGNALED(waitStatus))
        return prefix + "killed by signal " + std::to_string(WTERMSIG(waitStatus));
    return prefix + "status unknown";
}

}  // namespace wlsurvey
