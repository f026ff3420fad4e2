#include "survey.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>

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
    // No wireless extensions for this driver, or no iwlist at all: a scan through nl80211,
    // triggered, awaited and read (scanThroughIw). On an access point's interface (a board
    // that is its own hotspot) the forced scan, which leaves its channel for a moment.
    {Source::iwTrigger, When::always, Empty::isReport},
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

/// The causes for which the kernel's held results would be stale or absent (the causes' table
/// says which): the run ends at once.
bool endsRun(Cause cause) {
    return row(cause).endsRun;
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

/// How a command of the chain came out.
enum class Verdict : unsigned char {
    report,  ///< it gave the report
    goOn,    ///< the next step may know more
    end,     ///< the run ends with the cause decided
};

/// One survey's walk along a chain, with what it learnt so far.
class Walk {
  public:
    Walk(const Request& request, std::chrono::milliseconds second)
        : request_(request),
          second_(second),
          // Room is left at the end to await a scanner killed there.
          runEnds_(Clock::now() + (kRunSeconds - kReapSeconds) * second),
          name_(request.interfaceName) {}

    Outcome along(Chain steps) {
        for (const Step& step : steps) {
            const bool iw = runsIw(step.source);
            if ((ran_ & bit(step.source)) != 0 || cannotStart_[iw] ||
                (step.when == When::resultsDidNotFit && !didNotFit_)) {
                continue;
            }
            if (Clock::now() >= runEnds_) {
                evidence_.killed = true;
                break;
            }
            const Verdict verdict = step.source == Source::iwTrigger
                                        ? scanThroughIw()
                                        : read(step.source, step.empty, {});
            if (verdict != Verdict::goOn) return std::move(outcome_);
        }
        outcome_.cause = decide(evidence_, name_);
        // Nothing heard lately is a report, unless the interface itself is the reason.
        if (!heardNothing_.empty() && !endsRun(outcome_.cause)) {
            outcome_.cause = Cause::none;
            outcome_.report = std::make_unique<Report>();
            outcome_.report->source = heardNothing_;
        }
        return std::move(outcome_);
    }

  private:
    using Clock = std::chrono::steady_clock;

    static unsigned bit(Source source) { return 1u << static_cast<unsigned>(source); }

    /// How a command ran: its result, the failure it reads as ("" when it exited 0), the errno
    /// its words gave.
    struct Ran {
        ChildResult result;
        std::string failure;
        int error = 0;
    };

    /// Runs `source`'s command within its 20 s and the run's time left, taking in its ending.
    Ran run(Source source, const Command& scanner) {
        ran_ |= bit(source);
        const Deadline ownEnds = Clock::now() + kScannerSeconds * second_;
        Ran ran{runScanner(scanner, std::min(ownEnds, runEnds_), kReapSeconds * second_), {}, 0};
        ran.failure =
            scanFailure(scanner.name, ran.result, ownEnds <= runEnds_ ? overrun() : cutShort());
        didNotFit_ = !ran.failure.empty() && resultsDidNotFit(ran.result);
        cannotStart_[runsIw(source)] = ran.result.startError != 0;
        ran.error = evidence_.note(source, ran.result, !ran.failure.empty());
        return ran;
    }

    /// Runs a scanner or reader of `source`; a listing named `reportName` (else the command's
    /// name) when it gives the report.
    Verdict read(Source source, Empty empty, std::string_view reportName) {
        const Command scanner = command(source, request_.interfaceName, request_.essid);
        Ran ran = run(source, scanner);
        const bool iw = runsIw(source);
        // The cells are views into the scanner's text: both stay in one place on the heap.
        auto report = std::make_unique<Report>();
        report->source = reportName.empty() ? scanner.name : reportName;
        std::vector<ElementFacts> iwElements;  // what iw's words say that iwlist's lines would
        if (iw) {
            report->rewritten =
                iwlistFromIw(ran.result.output, request_.detailed ? &iwElements : nullptr).text;
        }
        report->output = std::move(ran.result.output);
        report->scan = parseScan(iw ? std::string_view(report->rewritten) : report->output.text(),
                                 request_.detailed, iw ? &iwElements : nullptr);
        const bool exitedWell = !ran.result.killed && ran.failure.empty();
        if ((!ran.result.killed && report->scan.headers > 0) ||
            (exitedWell && empty == Empty::isReport)) {
            outcome_.report = std::move(report);
            return Verdict::report;
        }
        if (exitedWell && empty == Empty::isReportAtLast && heardNothing_.empty()) {
            heardNothing_ = scanner.name;
        }
        note(ran.failure.empty() ? std::string(scanner.name) + ": no results" : ran.failure);
        return ran.failure.empty() ? Verdict::goOn : judge();
    }

    /// A scan through nl80211 in three commands, as iw's own scan command never ends on some
    /// systems (it spins on its socket after the scan): the listener first, so that the end of
    /// the scan cannot pass unseen; the trigger, which returns at once (the forced one when the
    /// interface's mode refuses it); the listener's line for the end; then the reader.
    Verdict scanThroughIw() {
        const std::string_view interfaceName = request_.interfaceName;
        std::optional<Child> listener;
        try {
            listener.emplace(command(Source::iwEvent, interfaceName, {}).words,
                             kReapSeconds * second_);
        } catch (const CannotStart&) {
            // No listener: the trigger, should it start, is read without a wait.
        }
        Ran trigger =
            run(Source::iwTrigger, command(Source::iwTrigger, interfaceName, request_.essid));
        Source scan = Source::iwTrigger;
        if (!trigger.failure.empty() && trigger.error == EOPNOTSUPP) {
            note(trigger.failure);
            scan = Source::iwForce;
            trigger = run(scan, command(scan, interfaceName, request_.essid));
        }
        if (!trigger.failure.empty()) {
            listener.reset();
            note(trigger.failure);
            return judge();
        }
        const bool seen = listener && awaitEnd(*listener, interfaceName);
        listener.reset();
        const Verdict verdict = read(Source::iwDump, seen ? Empty::isReport : Empty::tryNext,
                                     scan == Source::iwForce ? "iw scan ap-force" : "iw");
        if (verdict != Verdict::goOn || seen) return verdict;
        // The end of the scan unseen and no cell held: the scan's results may yet come, so no
        // empty report.
        outcome_.cause = Cause::timedOut;
        return Verdict::end;
    }

    /// Waits for the listener's line that the scan of `interfaceName` ended: 20 s at most from
    /// the trigger's end, and never past the run's. Notes why when it did not come.
    bool awaitEnd(Child& listener, std::string_view interfaceName) {
        const Deadline limit = Clock::now() + kScannerSeconds * second_;
        const Child::Stop stop =
            listener.read(std::min(limit, runEnds_), findScanEnd, &interfaceName);
        if (stop == Child::Stop::enough) return true;
        if (stop == Child::Stop::closed) {
            // Its outputs closed as it ended; its exit follows at once.
            const ChildResult result = listener.finish(Clock::now() + kReapSeconds * second_);
            const std::string failure = scanFailure("iw event", result, overrun());
            note(failure.empty() ? "iw event ended before the scan did" : failure);
        } else {
            // "did not finish within 20 s" becomes "saw no end of the scan within 20 s".
            const std::string limitText = limit <= runEnds_ ? overrun() : cutShort();
            note("iw event saw no end of the scan" +
                 limitText.substr(std::strlen("did not finish")));
        }
        return false;
    }

    /// True when a complete line of `output` tells the end of the scan; the lines read are
    /// dropped, so that a listener's output does not grow.
    static bool findScanEnd(Capture& output, const void* name) {
        const std::string_view interfaceName = *static_cast<const std::string_view*>(name);
        std::string_view text = output.text();
        const std::size_t complete = text.rfind('\n');
        if (complete == std::string_view::npos) return false;
        text = text.substr(0, complete + 1);
        for (std::string_view line; nextLine(text, '\n', line);) {
            if (scanEnded(line, interfaceName)) return true;
        }
        output.discard(complete + 1);
        return false;
    }

    /// The cause of the failures so far: the run ends when the interface itself is the reason.
    Verdict judge() {
        const Cause cause = decide(evidence_, name_);
        if (!endsRun(cause)) return Verdict::goOn;
        outcome_.cause = cause;
        return Verdict::end;
    }

    void note(const std::string& failure) {
        if (!outcome_.detail.empty()) outcome_.detail += "; ";
        outcome_.detail += failure;
    }

    std::string overrun() const {
        return "did not finish within " + std::to_string(kScannerSeconds) + " s";
    }
    std::string cutShort() const {
        return "did not finish in the time left of the run's " + std::to_string(kRunSeconds) + " s";
    }

    const Request& request_;
    std::chrono::milliseconds second_;
    Deadline runEnds_;
    std::string name_;
    unsigned ran_ = 0;                      // a bit for each Source
    bool cannotStart_[2] = {false, false};  // iwlist, iw
    bool didNotFit_ = false;                // of the run just before
    std::string_view heardNothing_;         // the first reader that exited 0 without a cell
    Evidence evidence_;
    Outcome outcome_;
};

}  // namespace

Outcome survey(const Request& request, std::chrono::milliseconds second) {
    // A parent that ignores SIGCHLD would have the scanner reaped behind the tool's back,
    // losing its exit status.
    std::signal(SIGCHLD, SIG_DFL);
    stopChildOnTermination();
    return Walk(request, second).along(request.cached ? chain(kCached) : chain(kScan));
}

}  // namespace wlsurvey
