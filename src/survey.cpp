#include "survey.h"

#include <algorithm>
#include <cerrno>
#include <csignal>

#include "interface.h"
#include "iwscan.h"
#include "scanner.h"

namespace wlsurvey {

namespace {

/// The time limits, in seconds of the tool's clock.
constexpr int kScannerSeconds = 20;  // iwlist gives up waiting for results after 15 s
constexpr int kRunSeconds = 30;      // a user interface polls every few seconds
constexpr int kReapSeconds = 1;      // a killed scanner stuck in the kernel is left to it

/// When a step runs, beyond the rules that hold for all: no command twice in a run, and none of
/// a program that could not be started.
enum class When : unsigned char {
    always,
    resultsDidNotFit,  ///< only right after a scan whose results did not fit iwlist's 64 KiB
    modeRefused,       ///< only right after an iw scan the interface's mode refused
};

/// What a run that exited 0 without a cell means.
enum class Empty : unsigned char {
    isReport,        ///< no network in range: the report, empty
    tryNext,         ///< the next step may know more
    isReportAtLast,  ///< the next step may know more; failing that, nothing heard lately
};

struct Step {
    Source source;
    When when;
    Empty empty;
};

/// A survey: a fresh scan, and what the kernel holds when no scan could be had.
constexpr Step kScan[] = {
    {Source::iwlistScan, When::always, Empty::isReport},
    // A crowded place: the scan ran, and the kernel holds every result iwlist could not hand
    // over. Read them at once, not after another scan.
    {Source::iwDump, When::resultsDidNotFit, Empty::tryNext},
    // No wireless extensions for this driver, or no iwlist at all: ask nl80211.
    {Source::iwScan, When::always, Empty::isReport},
    // An access point's interface (a board that is its own hotspot): mac80211 scans there
    // when told to, leaving its channel for a moment.
    {Source::iwForce, When::modeRefused, Empty::isReport},
    // No scan could start (no root, another scan under way): what the kernel holds.
    {Source::iwlistLast, When::always, Empty::tryNext},
    {Source::iwDump, When::always, Empty::tryNext},
};

/// --cached: only the kernel's results of the last 30 s, so the radio stays on its channel.
constexpr Step kCached[] = {
    {Source::iwlistLast, When::always, Empty::isReportAtLast},
    {Source::iwDump, When::always, Empty::isReportAtLast},
};

/// A table of steps, walked in order.
struct Chain {
    const Step* first;
    const Step* last;
    const Step* begin() const { return first; }
    const Step* end() const { return last; }
};

template <std::size_t N>
constexpr Chain chain(const Step (&steps)[N]) {
    return {steps, steps + N};
}

/// What the scanners said so far, for the cause of a failure.
struct Evidence {
    int iwErrno = 0;                   ///< the last errno iw's words gave
    int iwlistErrno = 0;               ///< the last errno iwlist's words gave
    bool cannotScanHere = false;       ///< iwlist's words for a missing or non-wireless interface
    bool iwTried = false;              ///< iw ran, or could not be started
    bool killed = false;               ///< a time limit stopped a scanner, or the run
    bool missing[2] = {false, false};  ///< iwlist, iw: not found on PATH

    /// Takes in how a run of `source` ended, `failed` or not; the errno its words gave.
    int note(Source source, const ChildResult& result, bool failed) {
        const bool iw = runsIw(source);
        const int error = scanErrno(source, result);
        if (error != 0) (iw ? iwErrno : iwlistErrno) = error;
        cannotScanHere |= !iw && failed && wlsurvey::cannotScanHere(result);
        iwTried |= iw;
        killed |= result.killed;
        missing[iw] |= result.startError == ENOENT;
        return error;
    }
};

/// What the system says of an interface the scanners could not find.
Cause causeOfSystem(const std::string& name) {
    const InterfaceState state = inspectInterface(name);
    if (!state.exists) return Cause::noSuchInterface;
    if (!state.wireless) return Cause::notWireless;
    return Cause::none;
}

/// The cause `error` gives, asking the system where the errno alone cannot tell; none when it
/// tells nothing.
Cause causeOfErrno(int error, const std::string& name) {
    switch (error) {
        case ENODEV:
            return causeOfSystem(name);
        case ENETDOWN:  // what the kernel says of a radio rfkill blocked too: it takes it down
            return inspectInterface(name).blocked ? Cause::blocked : Cause::down;
        case ERFKILL:
            return Cause::blocked;
        case EOPNOTSUPP:
            return Cause::cannotScanInMode;
        case EPERM:  // scanning asks for CAP_NET_ADMIN
            return Cause::notPermitted;
        case EBUSY:
            return Cause::busy;
        default:
            return Cause::none;
    }
}

/// The causes for which the kernel's held results would be stale or absent: a user interface
/// must not list networks while Wi-Fi is off. The run ends at once.
bool endsRun(Cause cause) {
    return cause == Cause::noSuchInterface || cause == Cause::notWireless || cause == Cause::down ||
           cause == Cause::blocked;
}

/// The cause of the scanners' failures so far. What they say of the interface itself (missing,
/// not wireless, down, blocked) comes first, as the kernel checks the caller's rights before it
/// looks at the interface: iw's errno, iwlist's, then the system once both scanners had their
/// say. Then what they say of the caller or the radio (not permitted, busy, its mode), in the
/// same order; then the time limits.
Cause decide(const Evidence& evidence, const std::string& name) {
    if (evidence.missing[0] && evidence.missing[1]) return Cause::noScanner;
    const Cause byIw = causeOfErrno(evidence.iwErrno, name);
    const Cause byIwlist = causeOfErrno(evidence.iwlistErrno, name);
    for (const Cause cause : {byIw, byIwlist}) {
        if (endsRun(cause)) return cause;
    }
    if (evidence.cannotScanHere && evidence.iwTried) {
        const Cause cause = causeOfSystem(name);
        if (cause != Cause::none) return cause;
    }
    for (const Cause cause : {byIw, byIwlist}) {
        if (cause != Cause::none) return cause;
    }
    return evidence.killed ? Cause::timedOut : Cause::other;
}

}  // namespace

Outcome survey(const Request& request, std::chrono::milliseconds second) {
    using Clock = std::chrono::steady_clock;
    // A parent that ignores SIGCHLD would have the scanner reaped behind the tool's back,
    // losing its exit status.
    std::signal(SIGCHLD, SIG_DFL);
    stopChildOnTermination();
    // Room is left at the end to await a scanner killed there.
    const Deadline runEnds = Clock::now() + (kRunSeconds - kReapSeconds) * second;
    const std::string overrun = "did not finish within " + std::to_string(kScannerSeconds) + " s";
    const std::string cutShort =
        "did not finish in the time left of the run's " + std::to_string(kRunSeconds) + " s";
    const std::string name(request.interfaceName);

    unsigned ran = 0;                      // a bit for each Source
    bool cannotStart[2] = {false, false};  // iwlist, iw
    bool didNotFit = false;                // of the run just before
    bool modeRefused = false;              // of the run just before
    std::string_view heardNothing;         // the first reader that exited 0 without a cell
    Evidence evidence;
    Outcome outcome;
    for (const Step& step : request.cached ? chain(kCached) : chain(kScan)) {
        const unsigned bit = 1u << static_cast<unsigned>(step.source);
        const bool iw = runsIw(step.source);
        if ((ran & bit) != 0 || cannotStart[iw] ||
            (step.when == When::resultsDidNotFit && !didNotFit) ||
            (step.when == When::modeRefused && !modeRefused)) {
            continue;
        }
        const Deadline now = Clock::now();
        if (now >= runEnds) {
            evidence.killed = true;
            break;
        }
        ran |= bit;
        const Deadline ownEnds = now + kScannerSeconds * second;
        const Command scanner = command(step.source, request.interfaceName, request.essid);
        ChildResult result = runScanner(scanner, std::min(ownEnds, runEnds), kReapSeconds * second);
        // The cells are views into the scanner's text: both stay in one place on the heap.
        auto report = std::make_unique<Report>();
        report->source = scanner.name;
        std::vector<ElementFacts> iwElements;  // what iw's words say that iwlist's lines would
        if (iw) {
            report->rewritten =
                iwlistFromIw(result.output, request.detailed ? &iwElements : nullptr).text;
        }
        report->output = std::move(result.output);
        report->scan = parseScan(iw ? std::string_view(report->rewritten) : report->output.text(),
                                 request.detailed, iw ? &iwElements : nullptr);
        const std::string failure =
            scanFailure(scanner.name, result, ownEnds <= runEnds ? overrun : cutShort);
        const bool exitedWell = !result.killed && failure.empty();
        if ((!result.killed && report->scan.headers > 0) ||
            (exitedWell && step.empty == Empty::isReport)) {
            outcome.report = std::move(report);
            return outcome;
        }
        if (exitedWell && step.empty == Empty::isReportAtLast && heardNothing.empty()) {
            heardNothing = scanner.name;
        }
        if (!outcome.detail.empty()) outcome.detail += "; ";
        outcome.detail += failure.empty() ? std::string(scanner.name) + ": no results" : failure;
        didNotFit = !failure.empty() && resultsDidNotFit(result);
        cannotStart[iw] = result.startError != 0;
        modeRefused = evidence.note(step.source, result, !failure.empty()) == EOPNOTSUPP;
        if (failure.empty()) continue;
        const Cause cause = decide(evidence, name);
        if (endsRun(cause)) {
            outcome.cause = cause;
            return outcome;
        }
    }
    outcome.cause = decide(evidence, name);
    // Nothing heard lately is a report, unless the interface itself is the reason.
    if (!heardNothing.empty() && !endsRun(outcome.cause)) {
        outcome.cause = Cause::none;
        outcome.report = std::make_unique<Report>();
        outcome.report->source = heardNothing;
    }
    return outcome;
}

}  // namespace wlsurvey
