#include "survey.h"

#include <algorithm>
#include <csignal>
#include <new>

#include "iwscan.h"
#include "json.h"
#include "scanner.h"

namespace wlsurvey {

std::size_t NameIndex::findOrAdd(const std::vector<Cell>& cells, std::string_view name,
                                 std::size_t position) {
    if (2 * (used_ + 1) > slots_.size()) grow();  // at most half full: probes stay short
    const auto hash = static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.place == 0) {
            slot = {hash, static_cast<std::uint32_t>(position + 1)};
            ++used_;
            return position;
        }
        if (slot.hash == hash && cells[slot.place - 1].essid == name) return slot.place - 1;
    }
}

void NameIndex::grow() {
    std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.place == 0) continue;
        std::size_t at = slot.hash & mask;
        while (slots_[at].place != 0) at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

void addCell(NetworkList& list, Cell cell, Details* details) {
    const std::size_t end = list.cells.size();
    const std::size_t position = list.byName.findOrAdd(list.cells, cell.essid, end);
    if (position == end) {
        list.cells.push_back(std::move(cell));
        if (details != nullptr) list.details.push_back(std::move(*details));
        return;
    }
    Cell& kept = list.cells[position];
    const bool stronger = kept.signalPercent < cell.signalPercent;
    if (stronger) kept = std::move(cell);
    if (details != nullptr) {
        Details& keptDetails = list.details[position];
        const std::uint32_t accessPoints = keptDetails.accessPoints + 1;
        if (stronger) keptDetails = std::move(*details);
        keptDetails.accessPoints = accessPoints;
    }
}

std::size_t forEachBlock(std::string_view output,
                         const std::function<void(const ScanBlock&)>& use) {
    std::size_t headers = 0;
    ScanBlock block;
    // Line by line, without a list of every line: a crowded scan runs to millions of lines.
    for (std::string_view line; nextLine(output, '\n', line);) {
        trim(line);
        std::string_view rest;
        // Cell 02 - Address: 38:83:45:CC:58:74
        if (matches(line, "Cell ", rest)) {
            if (headers > 0) use(block);
            block.clear();
            block.push_back(rest);
            ++headers;
        } else if (headers > 0) {
            block.push_back(line);
        }
    }
    if (headers > 0) use(block);
    return headers;
}

Scan parseScan(std::string_view output, bool detailed) {
    Scan scan;
    // Room for every cell at once, so that the list is never moved: a cell takes 300 bytes
    // or more of iwlist's text. Only the room the cells fill is ever touched.
    scan.networks.cells.reserve(output.size() / 256);
    if (!detailed) {
        scan.headers = forEachBlock(
            output, [&scan](const ScanBlock& block) { addCell(scan.networks, Cell(block)); });
        return scan;
    }
    scan.networks.details.reserve(output.size() / 256);
    scan.headers = forEachBlock(output, [&scan](const ScanBlock& block) {
        Details details;
        Cell cell(block, &details);
        addCell(scan.networks, std::move(cell), &details);
    });
    return scan;
}

std::vector<const Cell*> reportOrder(const NetworkList& networks) {
    // Sort small (quality, position) keys rather than the Cells themselves: comparisons then
    // stay within one compact array however many networks there are.
    const std::vector<Cell>& cells = networks.cells;
    std::vector<Rank> ranks;
    ranks.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        ranks.push_back({cells[i].signalPercent, static_cast<std::uint32_t>(i)});
    }
    std::stable_sort(ranks.begin(), ranks.end());

    std::vector<const Cell*> order;
    order.reserve(ranks.size());
    for (const Rank& rank : ranks) order.push_back(&cells[rank.position]);
    return order;
}

bool printReport(const NetworkList& networks, int out) {
    for (const Cell* cell : reportOrder(networks)) {
        if (isNamed(*cell) && !cell->print(out)) return false;
    }
    return true;
}

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
    "  --version    show the version and exit\n";

constexpr std::string_view kVersion = "wlsurvey " WLSURVEY_VERSION "\n";

/// Reports a failure, `line` ending in its line feed; the exit status for it.
int fail(int err, std::string_view line) {
    writeAll(err, line);
    return 1;
}

/// What the first word asks for instead of a scan, when it is an option. Nobody names an
/// interface like an option, and whoever types --help wants help, not a scan.
std::string_view optionAnswer(std::string_view word) {
    if (word == "-h" || word == "--help") return kUsage;
    if (word == "--version") return kVersion;
    return {};
}

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
    // No wireless extensions for this driver, or no iwlist at all: ask nl80211.
    {Source::iwScan, When::always, Empty::isReport},
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

struct Options {
    bool json = false;
    bool cached = false;
    std::string_view interfaceName = "wlan0";
    std::string_view essid;
};

/// Writes the report of `scan`, as the eight-line blocks or as JSON; the exit status.
int report(const Scan& scan, const Options& options, std::string_view source, int out, int err) {
    const bool written = options.json ? printJson(scan.networks, options.interfaceName, source, out)
                                      : printReport(scan.networks, out);
    return written ? 0 : fail(err, "wlsurvey: cannot write the report\n");
}

int survey(const Options& options, int out, int err, std::chrono::milliseconds second) {
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

    unsigned ran = 0;                      // a bit for each Source
    bool cannotStart[2] = {false, false};  // iwlist, iw
    bool didNotFit = false;                // of the run just before
    std::string_view heardNothing;         // the first reader that exited 0 without a cell
    std::string failures;
    for (const Step& step : options.cached ? chain(kCached) : chain(kScan)) {
        const unsigned bit = 1u << static_cast<unsigned>(step.source);
        if ((ran & bit) != 0 || cannotStart[runsIw(step.source)] ||
            (step.when == When::resultsDidNotFit && !didNotFit)) {
            continue;
        }
        const Deadline now = Clock::now();
        if (now >= runEnds) break;
        ran |= bit;
        const Deadline ownEnds = now + kScannerSeconds * second;
        const Command scanner = command(step.source, options.interfaceName, options.essid);
        const ChildResult result =
            runScanner(scanner, std::min(ownEnds, runEnds), kReapSeconds * second);
        IwlistText rewritten;
        if (runsIw(step.source)) rewritten = iwlistFromIw(result.output);
        const Scan scan =
            parseScan(runsIw(step.source) ? rewritten.text : result.output.text(), options.json);
        const std::string failure =
            scanFailure(scanner.name, result, ownEnds <= runEnds ? overrun : cutShort);
        const bool exitedWell = !result.killed && failure.empty();
        if ((!result.killed && scan.headers > 0) || (exitedWell && step.empty == Empty::isReport)) {
            return report(scan, options, scanner.name, out, err);
        }
        if (exitedWell && step.empty == Empty::isReportAtLast && heardNothing.empty()) {
            heardNothing = scanner.name;
        }
        didNotFit = !failure.empty() && resultsDidNotFit(result);
        cannotStart[runsIw(step.source)] = result.startError != 0;
        if (!failures.empty()) failures += "; ";
        failures += failure.empty() ? std::string(scanner.name) + ": no results" : failure;
    }
    if (!heardNothing.empty()) return report(Scan{}, options, heardNothing, out, err);
    return fail(err, "wlsurvey: scan failed: " + failures + "\n");
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
    Options options;
    int next = 1;
    for (; next < argc; ++next) {
        const std::string_view word = argv[next];
        if (word == "--json") {
            options.json = true;
        } else if (word == "--cached") {
            options.cached = true;
        } else {
            break;
        }
    }
    const int words = argc - next;
    if (words > 0) options.interfaceName = argv[next];
    if (words > 1) activeSSID = argv[next + 1];
    if (words > 2) options.essid = argv[next + 2];
    try {
        return survey(options, out, err, second);
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
