// The run from the scanner's output to the report: scan blocks, merge by name, ordering.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cell.h"

namespace wlsurvey {

/// Merged networks in order of first appearance, with an index from name to position so
/// that merging stays linear however many cells a crowded place reports.
struct NetworkList {
    std::vector<Cell> cells;
    std::unordered_map<std::string, std::size_t> byName;
};

/// Merges `cell` into `list` by name: the first entry of that name is replaced in place
/// when `cell` is strictly stronger, and otherwise kept; a new name is appended.
void addCell(NetworkList& list, Cell cell);

/// The report's ordering: true when `a` has the greater link quality.
bool operator<(const Cell& a, const Cell& b);

struct Scan {
    NetworkList networks;
    std::size_t headers = 0;  ///< "Cell " header lines seen
};

/// Groups the scanner's `output` into scan blocks and merges a Cell built from each.
Scan parseScan(std::string_view output);

/// Prints every named network of `networks`, strongest first; ties keep their list order.
void printReport(const NetworkList& networks, std::ostream& out);

/// The whole tool: `argv` is program, then optionally interface, active SSID and ESSID.
/// Returns the process exit status: 0 after a report, 1 after a message on `err`.
int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err);

}  // namespace wlsurvey
