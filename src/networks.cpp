#include "networks.h"

#include <algorithm>

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

}  // namespace wlsurvey
