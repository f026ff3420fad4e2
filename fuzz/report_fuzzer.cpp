// Feeds arbitrary bytes as the scanner's output through the tool's own path from captured
// text to printed report, and checks that the report keeps its shape whatever the input, and
// that the JSON document parses and lists the same networks in the same order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <rapidjson/document.h>

#include "iwscan.h"
#include "json.h"
#include "networks.h"
#include "printed.h"
#include "report.h"
#include "textutil.h"

namespace {

/// The report printed for `output`, and the JSON document: the one place that knows how
/// they are captured.
std::pair<std::string, std::string> reportOf(std::string_view output,
                                             std::vector<wlsurvey::ElementFacts>* iw = nullptr) {
    const wlsurvey::Scan scan = wlsurvey::parseScan(output, true, iw);
    const std::vector<wlsurvey::NetworkView> networks = wlsurvey::namedNetworks(scan.networks);
    return {printed([&](int out) { wlsurvey::printReport(networks, out); }),
            printed([&](int out) { wlsurvey::printJson(networks, "wlan0", "iwlist", out); })};
}

/// Whether `json` parses as valid UTF-8 JSON and lists the networks named `names` (the report's
/// SSIDs, as bytes), in that order.
bool agrees(const std::string& json, const std::vector<std::string>& names) {
    rapidjson::Document document;
    document.Parse<rapidjson::kParseValidateEncodingFlag>(json.c_str(), json.size());
    if (document.HasParseError() || !document.IsObject() || !document.HasMember("networks"))
        return false;
    const auto& networks = document["networks"];
    if (!networks.IsArray() || networks.Size() != names.size()) return false;
    for (rapidjson::SizeType i = 0; i < networks.Size(); ++i) {
        std::string hex;
        for (const unsigned char c : names[i]) {
            hex.append(1, "0123456789abcdef"[c >> 4]).append(1, "0123456789abcdef"[c & 15]);
        }
        if (!networks[i].IsObject() || !networks[i].HasMember("ssid_hex") ||
            networks[i]["ssid_hex"].GetString() != hex)
            return false;
    }
    return true;
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
const char* fault(std::string_view report, std::vector<std::string>& names) {
    // The gauge written out again, so that a fault in the tool's own table cannot hide itself.
    static const char* const kBars[] = {"----", "*---", "**--", "***-", "****"};
    static constexpr std::string_view kLabels[] = {
        "*:", "SSID: ", "MODE: Infra", "CHAN:", "RATE: ", "SIGNAL: ", "BARS: ", "SECURITY: "};
    std::set<std::string> seen;
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
        if (!seen.insert(name).second) return "name printed twice";
        names.push_back(wlsurvey::unescapeHex(name));
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
    std::vector<wlsurvey::ElementFacts> elements;
    const std::string rewritten = wlsurvey::iwlistFromIw(input, &elements).text;
    // The rewrite reads the same listing whether or not it takes in the elements.
    if (wlsurvey::iwlistFromIw(input).text != rewritten) {
        std::fprintf(stderr, "the rewrite depends on reading the elements\n");
        std::abort();
    }
    for (const auto& [report, json] : {reportOf(input), reportOf(rewritten, &elements)}) {
        std::vector<std::string> names;
        const char* broken = fault(report, names);
        if (broken == nullptr && !agrees(json, names)) broken = "the JSON document disagrees";
        if (broken != nullptr) {
            std::fprintf(stderr, "report invariant broken: %s; the report:\n%s\n%s", broken,
                         report.c_str(), json.c_str());
            std::abort();
        }
    }
    return 0;
}
