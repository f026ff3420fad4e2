// Feeds arbitrary bytes as the scanner's output through the tool's own path from captured
// text to printed report, and checks that the report keeps its shape whatever the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

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

/// Takes the next line of `report` when it starts with `label`: `value` is the rest of it,
/// without its end. Lines are walked, not matched by a pattern: an escaped name can make a line
/// of 48 KB, deeper than the stack of a recursive matcher.
bool take(std::string_view& report, std::string_view label, std::string_view& value) {
    const std::size_t end = report.find('\n');
    if (end == std::string_view::npos || report.compare(0, label.size(), label) != 0) return false;
    value = report.substr(label.size(), end - label.size());
    report.remove_prefix(end + 1);
    return true;
}

/// A plain decimal as the report prints numbers (no sign but a minus, no leading zero), then
/// `unit`: the text reads back as itself.
bool number(std::string_view text, std::string_view unit, long long& value) {
    value = std::strtoll(std::string(text).c_str(), nullptr, 10);
    return std::to_string(value).append(unit) == text;
}

/// What breaks the report's invariants, or nullptr when nothing does.
const char* fault(std::string_view report) {
    // The gauge written out again, so that a fault in the tool's own table cannot hide itself.
    static const char* const kBars[] = {"----", "*---", "**--", "***-", "****"};
    static constexpr std::string_view kLabels[] = {
        "*:", "SSID: ", "MODE: Infra", "CHAN:", "RATE: ", "SIGNAL: ", "BARS: ", "SECURITY: "};
    std::set<std::string> names;
    long long previousSignal = INT64_MAX, rate = 0, signal = 0;
    while (!report.empty()) {
        // One block: eight ended lines, the labels in order, the mode, plain decimal numbers.
        std::string_view line[8];
        for (int i = 0; i < 8; ++i)
            if (!take(report, kLabels[i], line[i])) return "not a whole report block";
        if ((!line[0].empty() && line[0] != "*") || !line[2].empty() ||
            !number(line[4], " Mbit/s", rate) || !number(line[5], "", signal))
            return "not a whole report block";
        const std::string name(line[1]);
        const int level = (signal >= 10) + (signal >= 23) + (signal >= 36) + (signal >= 50);
        if (name.empty() || name == "\"\"") return "unnamed network printed";
        if (!names.insert(name).second) return "name printed twice";
        const bool active =
            name == wlsurvey::activeSSID || wlsurvey::unescapeHex(name) == wlsurvey::activeSSID;
        if ((line[0] == "*") != active) return "wrong marker";
        if (rate < 1) return "rate below 1";
        if (signal > previousSignal) return "signal rises";
        if (line[6] != kBars[level] && !(line[6].empty() && signal == 0)) return "wrong bars";
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
