// Each stage of the run from captured scanner output to report, over generated scans of
// 60, 10 000 and 100 000 distinct cells. Throughput is in bytes of scanner output.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cell.h"
#include "networks.h"
#include "printed.h"
#include "report.h"
#include "textutil.h"

namespace {

using namespace wlsurvey;

/// A scan of `cells` cells in the shape one driver prints: about 19 lines and 900 bytes each,
/// element lines, a wrapped rate list, every name distinct.
std::string makeScan(int cells) {
    std::string text = "wlan0     Scan completed :\n";
    char line[512];
    for (int i = 1; i <= cells; ++i) {
        const int channel = i % 13 + 1;
        const int quality = (i * 7919) % 71;
        std::snprintf(line, sizeof line,
                      "          Cell %02d - Address: 02:00:%02X:%02X:%02X:%02X\n"
                      "                    Channel:%d\n"
                      "                    Frequency:2.4%02d GHz (Channel %d)\n"
                      "                    Quality=%d/70  Signal level=%d dBm  \n"
                      "                    Encryption key:on\n"
                      "                    ESSID:\"network-%d\"\n",
                      i, (i >> 24) & 255, (i >> 16) & 255, (i >> 8) & 255, i & 255, channel,
                      7 + 5 * channel, channel, quality, quality - 110, i);
        text += line;
        text +=
            "                    Bit Rates:1 Mb/s; 2 Mb/s; 5.5 Mb/s; 11 Mb/s; 6 Mb/s\n"
            "                              9 Mb/s; 12 Mb/s; 18 Mb/s\n"
            "                    Bit Rates:24 Mb/s; 36 Mb/s; 48 Mb/s; 54 Mb/s\n"
            "                    Mode:Master\n"
            "                    Extra:tsf=0000003a8b7c6d5e\n"
            "                    Extra: Last beacon: 120ms ago\n"
            "                    IE: Unknown: 000B6E6574776F726B2D3432\n"
            "                    IE: Unknown: 010882848B960C121824\n"
            "                    IE: Unknown: "
            "DD180050F2020101800003A4000027A4000042435E0062322F00\n"
            "                    IE: IEEE 802.11i/WPA2 Version 1\n"
            "                        Group Cipher : CCMP\n"
            "                        Pairwise Ciphers (1) : CCMP\n"
            "                        Authentication Suites (1) : PSK\n";
    }
    return text;
}

const std::string& scanOf(int cells) {
    static std::string scans[3];
    std::string& scan = scans[cells == 60 ? 0 : cells == 10000 ? 1 : 2];
    if (scan.empty()) scan = makeScan(cells);
    return scan;
}

/// The scan blocks of a scan, grouped as the run groups them.
std::vector<ScanBlock> blocksOf(const std::string& text) {
    std::vector<ScanBlock> blocks;
    forEachBlock(text, [&blocks](const ScanBlock& block) { blocks.push_back(block); });
    return blocks;
}

void setThroughput(benchmark::State& state, const std::string& text) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void SplitAndTrim(benchmark::State& state) {
    const std::string& text = scanOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string_view rest = text;
        for (std::string_view line; nextLine(rest, '\n', line);) {
            benchmark::DoNotOptimize(trim(line).data());
        }
    }
    setThroughput(state, text);
}

void BuildCells(benchmark::State& state) {
    const std::string& text = scanOf(static_cast<int>(state.range(0)));
    const std::vector<ScanBlock> blocks = blocksOf(text);
    for (auto _ : state) {
        for (const ScanBlock& block : blocks) {
            Cell cell(block);
            benchmark::DoNotOptimize(cell.signalPercent);
        }
    }
    setThroughput(state, text);
}

void Merge(benchmark::State& state) {
    const std::string& text = scanOf(static_cast<int>(state.range(0)));
    std::vector<Cell> cells;
    for (const ScanBlock& block : blocksOf(text)) cells.emplace_back(block);
    for (auto _ : state) {
        NetworkList list;
        for (const Cell& cell : cells) addCell(list, cell);
        benchmark::DoNotOptimize(list.cells.data());
    }
    setThroughput(state, text);
}

void Sort(benchmark::State& state) {
    const std::string& text = scanOf(static_cast<int>(state.range(0)));
    const Scan scan = parseScan(text);
    for (auto _ : state) {
        std::vector<const Cell*> order = reportOrder(scan.networks);
        benchmark::DoNotOptimize(order.data());
    }
    setThroughput(state, text);
}

void WholeRun(benchmark::State& state) {
    const std::string& text = scanOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::string report =
            printed([&](int out) { printReport(namedNetworks(parseScan(text).networks), out); });
        benchmark::DoNotOptimize(report.size());
    }
    setThroughput(state, text);
}

}  // namespace

BENCHMARK(SplitAndTrim)->Arg(60)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BuildCells)->Arg(60)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Merge)->Arg(60)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(Sort)->Arg(60)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(WholeRun)->Arg(60)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
