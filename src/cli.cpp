#include "cli.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "adapter.h"
#include "causes.h"
#include "json.h"
#include "options.h"
#include "report.h"
#include "scanner.h"
#include "survey.h"

namespace wlsurvey {

namespace {

constexpr std::string_view kUsage =
    "Usage: wlsurvey [--json] [--cached] [--] [INTERFACE [ACTIVE-SSID [ESSID]]]\n"
    "List the Wi-Fi networks in range of INTERFACE (default wlan0, or else the only\n"
    "wireless interface), strongest first, eight lines each, marking the network\n"
    "named ACTIVE-SSID; ESSID is handed to the scanner. Uses iwlist, or iw where\n"
    "iwlist cannot scan.\n"
    "\n"
    "  --json       write one JSON document instead of the eight-line blocks\n"
    "  --cached     start no scan: read the kernel's results of the last 30 s\n"
    "  --           end the options: the next word is INTERFACE, whatever it is\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Exit status:\n";

/// Room for any interface's name (the kernel allows 15 bytes) and a good part of a word that
/// names none.
constexpr std::size_t kNameLength = 64;

constexpr std::string_view kVersion = "wlsurvey " WLSURVEY_VERSION "\n";

/// Reports a failure, `line` ending in its line feed; the exit status for it.
int fail(int err, std::string_view line, int status = 1) {
    writeAll(err, line);
    return status;
}

/// The failure line of `outcome`: the interface when the cause's row says so, then the cause,
/// the wireless interfaces found when the adapter was a fallback that does not exist, and every
/// scanner run.
int failSurvey(int err, const Outcome& outcome, std::string_view interfaceName,
               const Adapter& adapter) {
    const CauseRow& cause = row(outcome.cause);
    std::string line = "wlsurvey: ";
    if (cause.namesInterface) {
        // The word as given may hold anything, a line feed included: the line stays one line.
        line += printable(interfaceName, kNameLength);
        line += ": ";
    }
    line += cause.words;
    if (outcome.cause == Cause::noSuchInterface) line += foundText(adapter);
    line += ": " + outcome.detail + '\n';
    return fail(err, line, cause.status);
}

/// A usage error's line: the word, what is wrong with it, where to look.
int failUsage(int err, const Options& options) {
    const CauseRow& cause = row(options.error);
    std::string line = "wlsurvey: ";
    line.append(printable(options.wrongWord, kNameLength)).append(": ").append(cause.words);
    return fail(err, line.append(" (see wlsurvey --help)\n"), cause.status);
}

/// Writes what the help or version asks for.
int answer(int out, int err, std::string_view text) {
    return writeAll(out, text) ? 0 : fail(err, "wlsurvey: cannot write to standard output\n");
}

int surveyOnce(int argc, const char* const argv[], int out, int err,
               std::chrono::milliseconds second) {
    const Options options = parseOptions(argc, argv);
    switch (options.action) {
        case Action::help:
            return answer(out, err, statusList(std::string(kUsage)));
        case Action::version:
            return answer(out, err, kVersion);
        case Action::misused:
            return failUsage(err, options);
        case Action::survey:
            break;
    }
    // Only a run that names no interface asks the system which there are.
    Adapter adapter;
    if (!options.hasInterface) adapter = findAdapter(kSysClassNet);
    Request request;
    request.interfaceName = options.hasInterface ? options.interfaceName : adapter.name;
    request.essid = options.essid;
    request.cached = options.cached;
    request.detailed = options.json;
    activeSSID = options.activeSSID;
    const bool json = options.json;
    try {
        const Outcome outcome = survey(request, second);
        if (!outcome.report) return failSurvey(err, outcome, request.interfaceName, adapter);
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
