#include "cell.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "accesspoint.h"

namespace wlsurvey {

std::string activeSSID;

namespace {

constexpr std::string_view kHiddenName = "\"\"";

}  // namespace

std::int32_t qualityPercent(std::string_view rest) {
    const std::string_view fraction = rest.substr(0, rest.find(' '));
    const std::size_t slash = fraction.find('/');
    if (slash == std::string_view::npos) return 0;
    const std::int64_t denominator = readInt(fraction.substr(slash + 1));
    if (denominator == 0) return 0;
    const std::int64_t numerator = readInt(fraction.substr(0, slash));
    const std::int64_t percent = numerator * 100 / denominator;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(percent, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

std::int32_t gaugeLevel(std::int32_t signalPercent) {
    if (signalPercent >= 50) return 4;
    if (signalPercent >= 36) return 3;
    if (signalPercent >= 23) return 2;
    if (signalPercent >= 10) return 1;
    return 0;
}

std::string_view gaugeBars(std::int32_t signalPercent) {
    static constexpr std::string_view kBars[] = {"----", "*---", "**--", "***-", "****"};
    return kBars[gaugeLevel(signalPercent)];
}

inline bool Cell::classify(std::string_view line) {
    std::string_view rest;

    // ESSID:"HomeNet"  (only a quoted name of 3 bytes or more loses its first and last byte)
    if (matches(line, "ESSID:", rest)) {
        if (rest.size() >= 3 && rest.front() == '"') rest = rest.substr(1, rest.size() - 2);
        essid = rest;
        // The caller may give the name as the kernel has it (Café) or as the scanner
        // prints it (Caf\xC3\xA9).
        isActive = essid == activeSSID ||
                   (essid.find('\\') != std::string_view::npos && unescapeHex(essid) == activeSSID);
        return false;
    }
    // Channel:6
    if (matches(line, "Channel:", rest)) {
        channel = rest;
        return false;
    }
    // Frequency:2.437 GHz (Channel 6)
    if (matchesAnywhere(line, "(Channel ", rest)) {
        channel = rest.substr(0, rest.empty() ? 0 : rest.size() - 1);
        return false;
    }
    // Quality=58/70  Signal level=-52 dBm   or   Quality:38 Signal level:16
    if (matches(line, "Quality=", rest) || matches(line, "Quality:", rest)) {
        readQuality(rest);
        return true;
    }
    // IE: IEEE 802.11i/WPA2 Version 1   (the last element line naming WPA or WEP decides,
    // from the first WPA on, or failing that the first WEP: "WPA2 Version 1")
    if (matches(line, "IE:", rest)) {
        std::size_t scheme = line.find("WPA");
        if (scheme == std::string_view::npos) scheme = line.find("WEP");
        if (scheme != std::string_view::npos) security = line.substr(scheme);
    }
    return false;
}

void Cell::readQuality(std::string_view rest) {
    signalPercent = qualityPercent(rest);
    barLevel = gaugeLevel(signalPercent);
    bars = gaugeBars(signalPercent);
}

// Bit Rates:1 Mb/s; 2 Mb/s; 5.5 Mb/s; 11 Mb/s; 6 Mb/s
//           9 Mb/s; 12 Mb/s; 18 Mb/s
// A list stays open across wrapped lines without a colon; only each line's last figure counts.
inline void Cell::trackRate(std::string_view line, bool& inRates) {
    std::string_view rest;
    if (matches(line, "Bit Rates:", rest))
        inRates = true;
    else if (inRates && line.find(':') != std::string_view::npos)
        inRates = false;
    if (!inRates) return;

    const std::size_t unit = line.rfind(" Mb/s");
    if (unit == std::string_view::npos) return;
    std::size_t start = unit;
    while (start > 0 && line[start - 1] >= '0' && line[start - 1] <= '9') --start;
    maxRate = std::max(maxRate, readInt(line.substr(start, unit - start)));
}

Cell::Cell(const ScanBlock& block, AccessPoint* accessPoint) {
    bool inRates = false;
    for (const std::string_view& line : block) {
        const bool quality = classify(line);
        trackRate(line, inRates);
        if (accessPoint != nullptr) accessPoint->track(line, &line == block.data(), quality);
    }
}

bool Cell::print(int out) const {
    // The block is made in one buffer, then written a line at a time, each line in one write;
    // after one that cannot be written the rest are not tried.
    const Decimal rate(maxRate), signal(signalPercent);
    const std::string_view lines[][3] = {{isActive ? "*:*" : "*:", {}, {}},
                                         {"SSID: ", essid, {}},
                                         {"MODE: ", mode, {}},
                                         {"CHAN:", channel, {}},
                                         {"RATE: ", rate, " Mbit/s"},
                                         {"SIGNAL: ", signal, {}},
                                         {"BARS: ", bars, {}},
                                         {"SECURITY: ", security, {}}};
    std::size_t size = 0;
    for (const auto& parts : lines) size += parts[0].size() + parts[1].size() + parts[2].size() + 1;
    std::unique_ptr<char[]> block(new char[size]);
    char* end = block.get();
    for (const auto& parts : lines) {
        char* const start = end;
        for (const std::string_view part : parts) end = std::copy(part.begin(), part.end(), end);
        *end++ = '\n';
        if (!writeAll(out, {start, static_cast<std::size_t>(end - start)})) return false;
    }
    return true;
}

bool isNamed(const Cell& cell) {
    return !cell.essid.empty() && cell.essid != kHiddenName;
}

}  // namespace wlsurvey
