#include "survey.h"

#include <algorithm>
#include <csignal>
#include <ostream>
#include <stdexcept>

#include "scanner.h"

namespace wlsurvey {

void addCell(NetworkList& list, Cell cell) {
    const auto [entry, isNew] = list.byName.try_emplace(cell.essid, list.cells.size());
    if (isNew) {
        list.cells.push_back(std::move(cell));
        return;
    }
    Cell& kept = list.cells[entry->second];
    if (kept.signalPercent < cell.signalPercent) kept = std::move(cell);
}

bool operator<(const Cell& a, const Cell& b) {
    return a.signalPercent > b.signalPercent;
}

Scan parseScan(std::string_view output) {
    LineList lines;
    split(output, '\n', lines);

    Scan scan;
    ScanBlock block;
    for (std::string_view line : lines) {
        trim(line);
        std::string_view rest;
        // Cell 02 - Address: 38:83:45:CC:58:74
        if (matches(line, "Cell ", rest)) {
            if (scan.headers > 0) addCell(scan.networks, Cell(block));
            block.clear();
            block.push_back(rest);
            ++scan.headers;
        } else if (scan.headers > 0) {
            block.push_back(line);
        }
    }
    if (scan.headers > 0) addCell(scan.networks, Cell(block));
    return scan;
}

void printReport(const NetworkList& networks, std::ostream& out) {
    // Order pointers, not the Cells themselves: moving a pointer is cheaper than moving four
    // strings, and the list and its index stay as they are.
    std::vector<const Cell*> order;
    order.reserve(networks.cells.size());
    for (const Cell& cell : networks.cells) order.push_back(&cell);
    std::stable_sort(order.begin(), order.end(),
                     [](const Cell* a, const Cell* b) { return *a < *b; });
    for (const Cell* cell : order) {
        if (isNamed(*cell)) cell->print(out);
    }
}

int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
    std::string interfaceName = "wlan0";
    std::string essidArg;
    if (argc > 1) interfaceName = argv[1];
    if (argc > 2) activeSSID = argv[2];
    if (argc > 3) essidArg = argv[3];

    // A parent that ignores SIGCHLD would have the scanner reaped behind pclose's back,
    // losing its exit status.
    std::signal(SIGCHLD, SIG_DFL);

    int status = -1;
    std::string output;
    try {
        output = exec(scanCommand(interfaceName, essidArg).c_str(), &status);
    } catch (const std::runtime_error& error) {
        err << error.what() << '\n';
        return 1;
    }

    Scan scan = parseScan(output);
    if (scan.headers == 0) {
        const std::string failure = scanFailure(status);
        if (!failure.empty()) {
            err << failure << '\n';
            return 1;
        }
    }
    printReport(scan.networks, out);
    if (!out) {
        err << "wlsurvey: cannot write the report\n";
        return 1;
    }
    return 0;
}

}  // namespace wlsurvey
