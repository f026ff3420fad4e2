// The facts of one access point that the report's eight lines leave out, for the programs that
// read the JSON document: read in the same walk that builds its Cell, never changing what the
// line rules decide. iwlist's lines give them all; for iw's listing, what the rewrite into
// iwlist's lines leaves out (the elements, the ciphers, the mode) comes from iw's own words.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "elements.h"

namespace wlsurvey {

/// A key management suite: 0 to 255 are IEEE 802.11's AKM suite types (OUI 00-0F-AC), and
/// kVendorSuite is one of another vendor's, which iwlist prints as "Proprietary".
using Suite = std::uint16_t;
constexpr Suite kVendorSuite = 256;

/// What an access point's elements and capability say: filled from iwlist's lines, or by the
/// iw reader from iw's words.
struct ElementFacts {
    Radio radio;
    CipherList ciphers;
    Mode mode = Mode::unknown;
};

/// What a user must give to join.
enum class Auth : unsigned char { open, enterprise, pskSae, sae, psk, owe, wep, unknown };

struct AccessPoint {
    /// Reads what `line` of the scan block tells: `header` for its first line (the text after
    /// "Cell "), `qualityLine` when the line rules took it as the quality line.
    void track(std::string_view line, bool header, bool qualityLine);

    std::optional<std::string_view> address;   ///< after "Address: " on the header, trimmed
    std::optional<std::int64_t> frequencyMhz;  ///< of the last Frequency line
    std::optional<std::int32_t> signalDbm;     ///< of the quality line the signal came from
    bool encrypted = false;                    ///< the last "Encryption key:" line reads on
    std::vector<Suite> suites;                 ///< each one named, in order, once
    std::optional<std::int64_t> ageMs;         ///< of the last "Extra: Last beacon: Nms ago"
    ElementFacts elements;
    std::string_view channel;        ///< the Cell's, as the report shows it
    std::int32_t signalPercent = 0;  ///< the Cell's

  private:
    void readSuites(std::string_view words);

    std::bitset<kVendorSuite + 1> named_;
};

/// What a user must give to join a network whose kept access point is `ap` and whose report
/// shows `security`.
Auth authOf(const AccessPoint& ap, std::string_view security);

/// Megahertz, rounded to the nearest, of a frequency as iwlist prints it: "2.437 GHz (Channel
/// 6)", "5180 MHz", "868300 kHz"; nothing when no figure and unit start the text.
std::optional<std::int64_t> frequencyMegahertz(std::string_view text);

}  // namespace wlsurvey
