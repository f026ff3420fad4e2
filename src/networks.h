// The network list: the scanner's output cut into scan blocks, a Cell made of each, merged by
// name, and the order the report shows them in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "accesspoint.h"
#include "cell.h"

namespace wlsurvey {

/// Where each name stands in a list of cells: open addressing over (hash, position) pairs,
/// so that a lookup reads one small array and, only when the hashes agree, that one Cell.
class NameIndex {
  public:
    /// The position in `cells` of the cell named `name`; when there is none, records
    /// `position` as that name's place and returns it.
    std::size_t findOrAdd(const std::vector<Cell>& cells, std::string_view name,
                          std::size_t position);

  private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t place = 0;  ///< position + 1; 0 marks an empty slot
    };
    void grow();

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

/// Merged networks in order of first appearance, with an index by name so that merging stays
/// linear however many cells a crowded place reports.
struct NetworkList {
    std::vector<Cell> cells;
    /// When they were asked for: every access point the scanner listed, in its order, and for
    /// each network (by its place in `cells`) the positions of its own; else both empty.
    std::vector<AccessPoint> accessPoints;
    std::vector<std::vector<std::uint32_t>> members;
    NameIndex byName;
};

/// Merges `cell` into `list` by name: the first entry of that name is replaced in place
/// when `cell` is strictly stronger, and otherwise kept; a new name is appended. The access
/// point's facts, when given, are kept among its network's.
void addCell(NetworkList& list, Cell cell, AccessPoint* accessPoint = nullptr);

/// A network's place in the report: its link quality and its position in the list.
struct Rank {
    std::int32_t signalPercent;
    std::uint32_t position;
};

/// The report's ordering: true when `a` has the greater link quality. Nothing else breaks
/// ties; a stable sort keeps networks of equal quality in list order.
inline bool operator<(const Rank& a, const Rank& b) {
    return a.signalPercent > b.signalPercent;
}

struct Scan {
    NetworkList networks;
    std::size_t headers = 0;  ///< "Cell " header lines seen
};

/// Cuts the scanner's `output` into scan blocks and hands each to `use`, in order; lines
/// before the first header play no part. Returns the number of "Cell " header lines.
std::size_t forEachBlock(std::string_view output, const std::function<void(const ScanBlock&)>& use);

/// Groups the scanner's `output` into scan blocks and merges a Cell built from each, with its
/// AccessPoint when `detailed`. `iwElements`, when given, are the facts iw's reader took from
/// its own words, one for each block in order, in place of what iwlist's lines would say.
Scan parseScan(std::string_view output, bool detailed = false,
               std::vector<ElementFacts>* iwElements = nullptr);

/// The cells of `networks` strongest first; cells of equal strength keep their list order.
std::vector<const Cell*> reportOrder(const NetworkList& networks);

/// A network as the writers show it: its kept cell and, when they were asked for, its access
/// points strongest first (the scanner's order at equal strength), the kept one first.
struct NetworkView {
    const Cell* cell;
    std::vector<const AccessPoint*> accessPoints;
};

/// The named networks of `networks` in the report's order: the one view both writers take.
std::vector<NetworkView> namedNetworks(const NetworkList& networks);

}  // namespace wlsurvey
