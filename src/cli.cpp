#include "cli.h"

#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "json.h"
#include "report.h"
#include "scanner.h"
#include "survey.h"

namespace wlsurvey {

namespace {

constexpr std::string_view kUsage =
    "Usage: wlsurvey [--json] [--cached] [INTERFACE [ACTIVE-SSID [ESSID]]]\n"
    "List the Wi-Fi networks in range of INTERFACE (default wlan0), strongest first,\n"
    "eight lines each, marking the network named ACTIVE-SSID; ESSID is handed to the\n"
    "scanner. Uses iwlist, or iw where iwlist cannot scan.\n"
    "\n"
    "  --json       write one JSON document instead of the eight-line blocks\n"
    "  --cached     start no scan: read the kernel's results of the last 30 s\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Exit status:\n"
    "   0  a report (possibly empty), or this help\n"
    "   1  any other failure\n"
    "   2  no such interface\n"
    "   3  not a wireless interface\n"
    "   4  the interface is down\n"
    "   5  its radio is blocked (rfkill)\n"
    "   6  the interface cannot scan in its mode\n"
    "   7  not permitted to scan, and no recent results held\n"
    "   8  another scan kept the radio busy, and no results came\n"
    "   9  the time limit ended the run, and no results came\n"
    "  10  neither iwlist nor iw found\n";

/// Room for any interface's name (the kernel allows 15 bytes) and a good part of a word that
/// names none.
constexpr std::size_t kNameLength = 64;

constexpr std::string_view kVersion = "wlsurvey " WLSURVEY_VERSION "\n";

/// What the failure line says of each cause, after the interface's name; the exit status is
/// the cause's number.
constexpr std::string_view kCauseText[] = {
    "",
    "scan failed",
    "no such interface",
    "not a wireless interface",
    "interface is down",
    "radio is blocked (rfkill)",
    "cannot scan in its mode",
    "not permitted to scan (needs root or CAP_NET_ADMIN)",
    "busy",
    "timed out",
    "no scanner (iwlist or iw) found",
};
static_assert(std::size(kCauseText) == static_cast<std::size_t>(Cause::noScanner) + 1);

/// Reports a failure, `line` ending in its line feed; the exit status for it.
int fail(int err, std::string_view line, int status = 1) {
    writeAll(err, line);
    return status;
}

/// The failure line of `outcome`: the interface when the cause is its own, then the cause and
/// every scanner run.
int failSurvey(int err, const Outcome& outcome, std::string_view interfaceName) {
    std::string line = "wlsurvey: ";
    if (outcome.cause != Cause::other && outcome.cause != Cause::noScanner) {
        // The word as given may hold anything, a line feed included: the line stays one line.
        line += printable(interfaceName, kNameLength);
        line += ": ";
    }
    line += kCauseText[static_cast<int>(outcome.cause)];
    line += ": " + outcome.detail + '\n';
    return fail(err, line, static_cast<int>(outcome.cause));
}

/// What the first word asks for instead of a scan, when it is an option. Nobody names an
/// interface like an option, and whoever types --help wants help, not a scan.
std::string_view optionAnswer(std::string_view word) {
    if (word == "-h" || word == "--help") return kUsage;
    if (word == "--version") return kVersion;
    return {};
}

int surveyOnce(int argc, const char* const argv[], int out, int err,
               std::chrono::milliseconds second) {
    if (argc > 1) {
        const std::string_view answer = optionAnswer(argv[1]);
        if (!answer.empty())
            return writeAll(out, answer) ? 0
                                         : fail(err, "wlsurvey: cannot write to standard output\n");
    }
    // Leading words that are exactly an option, in any order; the first that is not starts
    // the positional words, which may then look like anything.
    Request request;
    bool json = false;
    int next = 1;
    for (; next < argc; ++next) {
        const std::string_view word = argv[next];
        if (word == "--json") {
            json = true;
        } else if (word == "--cached") {
            request.cached = true;
        } else {
            break;
        }
    }
    const int words = argc - next;
    if (words > 0) request.interfaceName = argv[next];
    if (words > 1) activeSSID = argv[next + 1];
    if (words > 2) request.essid = argv[next + 2];
    request.detailed = json;
    try {
        const Outcome outcome = survey(request, second);
        if (!outcome.report) return failSurvey(err, outcome, request.interfaceName);
        const Report& report = *outcome.report;
        const std::vector<NetworkView> networks = namedNetworks(report.scan.networks);
        const bool written = json ? printJson(networks, request.interfaceName, report.source, out)
                                  : printReport(networks, out);
        return written ? 0 : fail(err, "wlsurvey: cannot write the report\n");
    } catch (const CannotRun& error) {
        return fail(err, "wlsurvey: " + std::string(error.what()) + "\n");
    }
}

}  // namespace

int run(int argc, const char* const argv[], int out, int err, std::chrono::milliseconds second) {
    try {
        return surveyOnce(argc, argv, out, err, second);
    } catch (const std::bad_alloc&) {
        // A scanner that never stops printing, on a board with little memory.
        return fail(err, "wlsurvey: out of memory\n");
    }
}

}  // namespace wlsurvey
