// Feeds arbitrary bytes as the scanner's output through the tool's own path from captured
// text to printed report, and checks that the report keeps its shape whatever the input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cell.h"
#include "printed.h"
#include "survey.h"
#include "textutil.h"

namespace {

using wlsurvey::readInt;

[[noreturn]] void broken(const char* what, std::string_view line) {
    std::fprintf(stderr, "report invariant broken: %s in line '%.*s'\n", what,
                 static_cast<int>(line.size()), line.data());
    std::abort();
}

/// The gauge for a quality in percent, written out again here so that a fault in the tool's
/// own table cannot hide itself.
std::string_view expectedBars(std::int32_t signal) {
    if (signal < 10) return "----";
    if (signal < 23) return "*---";
    if (signal < 36) return "**--";
    if (signal < 50) return "***-";
    return "****";
}

/// The value after `label`, or a broken invariant.
std::string_view valueOf(std::string_view line, std::string_view label) {
    std::string_view rest;
    if (!wlsurvey::matches(line, label, rest)) broken("label out of place", line);
    return rest;
}

/// A decimal number as the report prints it: an optional minus sign, digits, nothing else.
std::int32_t numberOf(std::string_view text, std::string_view line) {
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        broken("not a plain number", line);
    return readInt(text);
}

void checkReport(const std::string& report) {
    if (!report.empty() && report.back() != '\n') broken("last line not ended", report);
    std::vector<std::string_view> lines;
    wlsurvey::split(report, '\n', lines);
    if (lines.size() % 8 != 0) broken("not a whole number of blocks", report);

    std::set<std::string_view> names;
    std::int64_t previousSignal = INT64_MAX;
    for (std::size_t at = 0; at < lines.size(); at += 8) {
        const std::string_view* block = &lines[at];
        const std::string_view name = valueOf(block[1], "SSID: ");
        if (name.empty() || name == "\"\"") broken("unnamed network printed", block[1]);
        if (!names.insert(name).second) broken("name printed twice", block[1]);
        const bool active = name == wlsurvey::activeSSID;
        if (block[0] != (active ? "*:*" : "*:")) broken("wrong marker", block[0]);
        if (block[2] != "MODE: Infra") broken("wrong mode", block[2]);
        valueOf(block[3], "CHAN:");

        std::string_view rate = valueOf(block[4], "RATE: ");
        std::string_view number;
        if (rate.size() < 7 || rate.substr(rate.size() - 7) != " Mbit/s")
            broken("rate without unit", block[4]);
        number = rate.substr(0, rate.size() - 7);
        if (numberOf(number, block[4]) < 1) broken("rate below 1", block[4]);

        const std::int32_t signal = numberOf(valueOf(block[5], "SIGNAL: "), block[5]);
        if (signal > previousSignal) broken("signal increases", block[5]);
        previousSignal = signal;

        const std::string_view bars = valueOf(block[6], "BARS: ");
        if (bars != expectedBars(signal) && !(bars.empty() && signal == 0))
            broken("bars do not match the signal", block[6]);
        valueOf(block[7], "SECURITY: ");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One name a caller might say it is connected to, so the marker is exercised too.
    wlsurvey::activeSSID = "HomeNet";
    const std::string_view output(reinterpret_cast<const char*>(data), size);

    wlsurvey::Scan scan = wlsurvey::parseScan(output);
    checkReport(printed([&](int out) { wlsurvey::printReport(scan.networks, out); }));
    return 0;
}
