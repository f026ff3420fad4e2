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

void addCell(NetworkList& list, Cell cell, AccessPoint* accessPoint) {
    const std::size_t end = list.cells.size();
    const std::size_t position = list.byName.findOrAdd(list.cells, cell.essid, end);
    if (accessPoint != nullptr) {
        accessPoint->channel = cell.channel;
        accessPoint->signalPercent = cell.signalPercent;
        if (position == end) list.members.emplace_back();
        list.members[position].push_back(static_cast<std::uint32_t>(list.accessPoints.size()));
        list.accessPoints.push_back(std::move(*accessPoint));
    }
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

Scan parseScan(std::string_view output, bool detailed, std::vector<ElementFacts>* iwElements) {
    Scan scan;
    // Room for every cell at once, so that the list is never moved: a cell takes 300 bytes
    // or more of iwlist's text. Only the room the cells fill is ever touched.
    scan.networks.cells.reserve(output.size() / 256);
    if (!detailed) {
        scan.headers = forEachBlock(
            output, [&scan](const ScanBlock& block) { addCell(scan.networks, Cell(block)); });
        return scan;
    }
    scan.networks.accessPoints.reserve(output.size() / 256);
    scan.headers = forEachBlock(output, [&scan, iwElements](const ScanBlock& block) {
        AccessPoint accessPoint;
        Cell cell(block, &accessPoint);
        const std::size_t at = scan.networks.accessPoints.size();
        if (iwElements != nullptr && at < iwElements->size()) {
            accessPoint.elements = std::move((*iwElements)[at]);
        }
        addCell(scan.networks, std::move(cell), &accessPoint);
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

std::vector<NetworkView> namedNetworks(const NetworkList& networks) {
    std::vector<NetworkView> view;
    view.reserve(networks.cells.size());
    for (const Cell* cell : reportOrder(networks)) {
        if (!isNamed(*cell)) continue;
        NetworkView& network = view.emplace_back(NetworkView{cell, {}});
        const std::size_t position = static_cast<std::size_t>(cell - networks.cells.data());
        if (position >= networks.members.size()) continue;
        // The report's own ordering, on (strength, place in the scan) keys: one sort for both.
        std::vector<Rank> ranks;
        ranks.reserve(networks.members[position].size());
        for (const std::uint32_t member : networks.members[position]) {
            ranks.push_back({networks.accessPoints[member].signalPercent, member});
        }
        std::stable_sort(ranks.begin(), ranks.end());
        network.accessPoints.reserve(ranks.size());
        for (const Rank& rank : ranks) {
            network.accessPoints.push_back(&networks.accessPoints[rank.position]);
        }
    }
    return view;
}

}  // namespace wlsurvey
