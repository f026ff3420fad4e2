#include "survey.h"

#include <algorithm>
#include <csignal>
#include <new>
#include <stdexcept>

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

int surveyOnce(int argc, const char* const argv[], int out, int err) {
    if (argc > 1) {
        const std::string_view answer = optionAnswer(argv[1]);
        if (!answer.empty())
            return writeAll(out, answer) ? 0
                                         : fail(err, "wlsurvey: cannot write to standard output\n");
    }
    std::string interfaceName = "wlan0";
    std::string essidArg;
    if (argc > 1) interfaceName = argv[1];
    if (argc > 2) activeSSID = argv[2];
    if (argc > 3) essidArg = argv[3];

    // A parent that ignores SIGCHLD would have the scanner reaped behind pclose's back,
    // losing its exit status.
    std::signal(SIGCHLD, SIG_DFL);

    int status = -1;
    Scan scan;
    try {
        scan = parseScan(exec(scanCommand(interfaceName, essidArg).c_str(), &status));
        const std::string iwlistFailure = scan.headers == 0 ? scanFailure("iwlist", status) : "";
        if (!iwlistFailure.empty()) {
            // No wireless extensions for this driver, or no iwlist at all: ask nl80211.
            const IwlistText iw =
                iwlistFromIw(exec(iwScanCommand(interfaceName, essidArg).c_str(), &status));
            const std::string iwFailure = iw.cells == 0 ? scanFailure("iw", status) : "";
            if (!iwFailure.empty()) {
                return fail(err,
                            "wlsurvey: scan failed: " + iwlistFailure + "; " + iwFailure + "\n");
            }
            scan = parseScan(iw.text);
        }
    } catch (const std::runtime_error& error) {
        return fail(err, error.what() + std::string("\n"));
    }

    if (!printReport(scan.networks, out)) return fail(err, "wlsurvey: cannot write the report\n");
    return 0;
}

}  // namespace

int run(int argc, const char* const argv[], int out, int err) {
    try {
        return surveyOnce(argc, argv, out, err);
    } catch (const std::bad_alloc&) {
        // A scanner that never stops printing, on a board with little memory.
        return fail(err, "wlsurvey: out of memory\n");
    }
}

}  // namespace wlsurvey
