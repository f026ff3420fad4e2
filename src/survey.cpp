#include "survey.h"

#include <algorithm>
#include <csignal>
#include <new>

#include "iwscan.h"
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

void addCell(NetworkList& list, Cell cell) {
    const std::size_t end = list.cells.size();
    const std::size_t position = list.byName.findOrAdd(list.cells, cell.essid, end);
    if (position == end) {
        list.cells.push_back(std::move(cell));
        return;
    }
    Cell& kept = list.cells[position];
    if (kept.signalPercent < cell.signalPercent) kept = std::move(cell);
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

Scan parseScan(std::string_view output) {
    Scan scan;
    // Room for every cell at once, so that the list is never moved: a cell takes 300 bytes
    // or more of iwlist's text. Only the room the cells fill is ever touched.
    scan.networks.cells.reserve(output.size() / 256);
    scan.headers = forEachBlock(
        output, [&scan](const ScanBlock& block) { addCell(scan.networks, Cell(block)); });
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
    "Usage: wlsurvey [INTERFACE [ACTIVE-SSID [ESSID]]]\n"
    "List the Wi-Fi networks in range of INTERFACE (default wlan0), strongest first,\n"
    "eight lines each, marking the network named ACTIVE-SSID; ESSID is handed to the\n"
    "scanner. Uses iwlist, or iw where iwlist cannot scan.\n"
    "\n"
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

/// One scanner run of the survey, in the order they are tried.
struct Step {
    Command command;
    bool printsAsIw;     ///< its listing is rewritten into iwlist's text first
    bool emptyIsReport;  ///< exiting 0 without a cell means no network in range
};

int survey(std::string_view interfaceName, std::string_view essid, int out, int err,
           std::chrono::milliseconds second) {
    using Clock = std::chrono::steady_clock;
    // A parent that ignores SIGCHLD would have the scanner reaped behind the tool's back,
    // losing its exit status.
    std::signal(SIGCHLD, SIG_DFL);
    stopScannerOnTermination();
    // Room is left at the end to await a scanner killed there.
    const Deadline runEnds = Clock::now() + (kRunSeconds - kReapSeconds) * second;
    const std::string overrun = "did not finish within " + std::to_string(kScannerSeconds) + " s";
    const std::string cutShort =
        "did not finish in the time left of the run's " + std::to_string(kRunSeconds) + " s";

    const Step steps[] = {
        {scanCommand(interfaceName, essid), false, true},
        // No wireless extensions for this driver, or no iwlist at all: ask nl80211.
        {iwScanCommand(interfaceName, essid), true, true},
        // No scan could start (no root, another scan under way): what the kernel holds.
        {cachedScanCommand(interfaceName), false, false},
        {iwDumpCommand(interfaceName), true, false},
    };
    bool cannotStart[2] = {false, false};  // iwlist, iw: not started again
    std::string failures;
    for (const Step& step : steps) {
        if (cannotStart[step.printsAsIw]) continue;
        const Deadline now = Clock::now();
        if (now >= runEnds) break;
        const Deadline ownEnds = now + kScannerSeconds * second;
        const ScanResult result =
            runScanner(step.command, std::min(ownEnds, runEnds), kReapSeconds * second);
        IwlistText rewritten;
        if (step.printsAsIw) rewritten = iwlistFromIw(result.output);
        const Scan scan = parseScan(step.printsAsIw ? rewritten.text : result.output.text());
        const std::string failure =
            scanFailure(step.command.name, result, ownEnds <= runEnds ? overrun : cutShort);
        if (!result.killed && (scan.headers > 0 || (step.emptyIsReport && failure.empty()))) {
            return printReport(scan.networks, out)
                       ? 0
                       : fail(err, "wlsurvey: cannot write the report\n");
        }
        cannotStart[step.printsAsIw] = result.startError != 0;
        if (!failures.empty()) failures += "; ";
        failures += failure.empty() ? std::string(step.command.name) + ": no results" : failure;
    }
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
    std::string_view interfaceName = "wlan0";
    std::string_view essidArg;
    if (argc > 1) interfaceName = argv[1];
    if (argc > 2) activeSSID = argv[2];
    if (argc > 3) essidArg = argv[3];
    try {
        return survey(interfaceName, essidArg, out, err, second);
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
