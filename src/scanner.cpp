#include "scanner.h"

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

#include "textutil.h"

namespace wlsurvey {

namespace {

constexpr std::size_t kReasonLength = 120;
constexpr int kLastErrno = 134;  // past ERFKILL and EHWPOISON, Linux's last

}  // namespace

Command command(Source source, std::string_view interfaceName, std::string_view essid) {
    // Each command's words, "" standing for the interface and "=" for the ESSID.
    static constexpr std::string_view kWords[][8] = {
        {"iwlist", "", "scan", "essid", "=", "last"},
        {"iw", "event"},
        {"iw", "dev", "", "scan", "trigger", "ssid", "="},
        {"iw", "dev", "", "scan", "trigger", "ap-force", "ssid", "="},
        {"iwlist", "", "scan", "last"},
        {"iw", "dev", "", "scan", "dump", "-u"},
    };
    static constexpr std::string_view kNames[] = {"iwlist",           "iw event",
                                                  "iw scan trigger",  "iw scan trigger ap-force",
                                                  "iwlist scan last", "iw scan dump"};
    const auto index = static_cast<std::size_t>(source);
    Command command{kNames[index], {}};
    for (const std::string_view word : kWords[index]) {
        // iw scans every network without an ESSID: no "ssid" word then.
        if (word.data() == nullptr || (word == "ssid" && essid.empty())) break;
        command.words.emplace_back(word.empty() ? interfaceName : word == "=" ? essid : word);
    }
    return command;
}

bool scanEnded(std::string_view line, std::string_view interfaceName) {
    std::string_view rest;
    if (!matches(line, interfaceName, rest) || !matches(rest, " (phy #", rest)) return false;
    const std::size_t event = rest.find("): ");
    if (event == std::string_view::npos) return false;
    rest.remove_prefix(event + 3);
    std::string_view after;
    return matches(rest, "scan finished", after) || matches(rest, "scan aborted", after);
}

ChildResult runScanner(const Command& command, Deadline deadline,
                       std::chrono::steady_clock::duration reapWithin) {
    try {
        return runChild(command.words, deadline, reapWithin);
    } catch (const CannotStart& error) {
        throw CannotRun("cannot run " + std::string(command.name) + ": " + error.what());
    }
}

std::string scanFailure(std::string_view name, const ChildResult& result,
                        std::string_view overrun) {
    std::string failure = std::string(name) + ' ';
    if (result.killed) {
        failure += overrun;
    } else if (result.startError == ENOENT) {
        // The program itself is missing, whichever of its commands ran: "iw not found".
        failure.resize(std::min(name.find(' '), name.size()));
        failure += " not found";
    } else if (result.startError != 0) {
        failure += "could not be started (" + std::string(std::strerror(result.startError)) + ')';
        return failure;
    } else if (!result.reaped) {
        failure += "status unknown";
    } else if (WIFEXITED(result.waitStatus)) {
        const int code = WEXITSTATUS(result.waitStatus);
        if (code == 0) return {};
        failure += "exited with status " + std::to_string(code);
    } else if (WIFSIGNALED(result.waitStatus)) {
        failure += "killed by signal " + std::to_string(WTERMSIG(result.waitStatus));
    } else {
        failure += "status unknown";
    }
    const std::string reason = scanReason(result.errors);
    if (!reason.empty()) failure += " (" + reason + ')';
    return failure;
}

std::string scanReason(std::string_view errors) {
    for (std::string_view line; nextLine(errors, '\n', line);) {
        std::string reason;
        for (const char c : trim(line)) {
            if (reason.size() == kReasonLength) break;
            if (isSpace(c)) {
                if (reason.back() != ' ') reason += ' ';
            } else {
                reason += c > ' ' && c < '\x7f' ? c : '?';
            }
        }
        if (!reason.empty()) {
            if (reason.back() == ' ') reason.pop_back();
            return reason;
        }
    }
    return {};
}

int scanErrno(Source source, const ChildResult& result) {
    if (result.killed || !result.reaped || !WIFEXITED(result.waitStatus)) return 0;
    const int code = WEXITSTATUS(result.waitStatus);
    if (code == 0) return 0;
    const std::string_view errors = result.errors;
    if (runsIw(source)) {
        // The last "(-N)" it wrote; failing that, its status.
        const std::size_t at = errors.rfind("(-");
        if (at != std::string_view::npos) {
            int error = 0;
            const char* last = errors.data() + errors.size();
            const auto [end, problem] = std::from_chars(errors.data() + at + 2, last, error);
            if (problem == std::errc() && end != last && *end == ')') return error;
        }
        return code > 128 ? 256 - code : 0;
    }
    const std::string reason = scanReason(errors);
    const std::size_t colon = reason.rfind(" : ");
    if (colon == std::string::npos) return 0;
    const std::string_view message = std::string_view(reason).substr(colon + 3);
    for (int error = 1; error < kLastErrno; ++error) {
        if (message == std::strerror(error)) return error;
    }
    return 0;
}

bool cannotScanHere(const ChildResult& result) {
    // "wlan99    Interface doesn't support scanning.", where a system message would follow " : ".
    const std::string reason = scanReason(result.errors);
    std::string_view rest;
    return matchesAnywhere(reason, "Interface doesn't support scanning.", rest) && rest.empty();
}

bool resultsDidNotFit(const ChildResult& result) {
    const std::string reason = scanReason(result.errors);
    return reason.find("Argument list too long") != std::string::npos ||
           reason.find("Allocation failed") != std::string::npos;
}

}  // namespace wlsurvey
