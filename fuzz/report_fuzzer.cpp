// Feeds arbitrary bytes as the scanner's output through the tool's own path from captured
// text to printed report, and checks that the report keeps its shape whatever the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <set>
#include <string>

#include "iwscan.h"
#include "printed.h"
#include "survey.h"
#include "textutil.h"

namespace {

/// The report printed for `output`: the one place that knows how the report is captured.
std::string reportOf(std::string_view output) {
    const wlsurvey::Scan scan = wlsurvey::parseScan(output);
    return printed([&](int out) { wlsurvey::printReport(scan.networks, out); });
}

/// One report block, every line ended: the labels in order, the mode, plain decimal numbers
/// and the rate's unit. Captures the marker's star, the name, rate, signal and bars.
const std::regex kBlock(
    "\\*:(\\*?)\nSSID: ([^\n]*)\nMODE: Infra\nCHAN:[^\n]*\nRATE: (0|-?[1-9][0-9]*) Mbit/s\n"
    "SIGNAL: (0|-?[1-9][0-9]*)\nBARS: ([^\n]*)\nSECURITY: [^\n]*\n");

/// What breaks the report's invariants, or nullptr when nothing does.
const char* fault(const std::string& report) {
    // The gauge written out again, so that a fault in the tool's own table cannot hide itself.
    static const char* const kBars[] = {"----", "*---", "**--", "***-", "****"};
    std::set<std::string> names;
    long long previousSignal = INT64_MAX;
    std::smatch block;
    for (auto at = report.begin(); at != report.end(); at = block[0].second) {
        if (!std::regex_search(at, report.end(), block, kBlock,
                               std::regex_constants::match_continuous))
            return "not a whole report block";
        const std::string name = block[2];
        const long long signal = std::stoll(block[4]);
        const int level = (signal >= 10) + (signal >= 23) + (signal >= 36) + (signal >= 50);
        if (name.empty() || name == "\"\"") return "unnamed network printed";
        if (!names.insert(name).second) return "name printed twice";
        const bool active =
            name == wlsurvey::activeSSID || wlsurvey::unescapeHex(name) == wlsurvey::activeSSID;
        if ((block[1] == "*") != active) return "wrong marker";
        if (std::stoll(block[3]) < 1) return "rate below 1";
        if (signal > previousSignal) return "signal rises";
        if (block[5] != kBars[level] && !(block[5] == "" && signal == 0)) return "wrong bars";
        previousSignal = signal;
    }
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One name a caller might say it is connected to, so the marker is exercised too.
    wlsurvey::activeSSID = "HomeNet";
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The bytes as iwlist's output, and as iw's, rewritten as when iwlist cannot scan.
    for (const std::string& report :
         {reportOf(input), reportOf(wlsurvey::iwlistFromIw(input).text)}) {
        if (const char* broken = fault(report)) {
            std::fprintf(stderr, "report invariant broken: %s; the report:\n%s", broken,
                         report.c_str());
            std::abort();
        }
    }
    return 0;
}
