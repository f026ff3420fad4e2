#include "accesspoint.h"

#include <charconv>

#include "textutil.h"

namespace wlsurvey {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

/// The whole number that `text` starts with (an optional minus, then digits), followed by
/// exactly `unit`; nothing when it is not there or does not fit.
template <typename Number>
std::optional<Number> numberThen(std::string_view text, std::string_view unit) {
    Number value{};
    const char* const end = text.data() + text.size();
    const auto [after, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || std::string_view(after, end - after).substr(0, unit.size()) != unit)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::int64_t> frequencyMegahertz(std::string_view text) {
    // The figure as billionths, N = figure x 10^9: at most nine digits before the point keep
    // N and the rounding below within 64 bits. Digits past the ninth after the point cannot
    // move a rounding to the nearest megahertz, so they are dropped.
    std::size_t at = 0;
    std::int64_t whole = 0;
    while (at < text.size() && isDigit(text[at])) {
        if (at == 9) return std::nullopt;
        whole = whole * 10 + (text[at++] - '0');
    }
    if (at == 0) return std::nullopt;
    std::int64_t fraction = 0;
    int places = 0;
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && isDigit(text[at]); ++at) {
            if (places < 9) {
                fraction = fraction * 10 + (text[at] - '0');
                ++places;
            }
        }
    }
    for (; places < 9; ++places) fraction *= 10;
    const std::int64_t billionths = whole * 1000000000 + fraction;

    std::string_view unit = text.substr(at);
    if (!matches(unit, " ", unit)) return std::nullopt;
    const std::size_t end = unit.find(' ');
    unit = unit.substr(0, end);
    // Megahertz = N / divisor, rounded half up.
    std::int64_t divisor;
    if (unit == "GHz") {
        divisor = 1000000;
    } else if (unit == "MHz") {
        divisor = 1000000000;
    } else if (unit == "kHz") {
        divisor = 1000000000000;
    } else {
        return std::nullopt;
    }
    return (billionths + divisor / 2) / divisor;
}

void AccessPoint::track(std::string_view line, bool header, bool qualityLine) {
    std::string_view rest;
    if (header) {
        // 02 - Address: 38:83:45:CC:58:74
        if (matchesAnywhere(line, "Address: ", rest)) address = trim(rest);
        return;
    }
    if (qualityLine) {
        // Quality=58/70  Signal level=-52 dBm  Noise level=-95 dBm
        signalDbm.reset();
        if (matchesAnywhere(line, "Signal level=", rest) ||
            matchesAnywhere(line, "Signal level:", rest)) {
            signalDbm = numberThen<std::int32_t>(rest, " dBm");
        }
        return;
    }
    // The first byte picks the few rules that could know the line: a block has many lines
    // (element hex above all) that none of them knows.
    switch (line.empty() ? '\0' : line.front()) {
        case 'F':
            // Frequency:2.437 GHz (Channel 6)
            if (matches(line, "Frequency:", rest) || matches(line, "Frequency=", rest)) {
                frequencyMhz = frequencyMegahertz(rest);
            }
            return;
        case 'E':
            if (matches(line, "Encryption key:", rest)) {
                encrypted = trim(rest) == "on";
            } else if (matches(line, "Extra:", rest)) {
                // Extra: Last beacon: 52ms ago
                if (matches(ltrim(rest), "Last beacon: ", rest)) {
                    ageMs = numberThen<std::int64_t>(rest, "ms ago");
                } else if (matches(rest, "Mesh ", rest)) {
                    // Extra:Mesh Network Path Selection Protocol ID: 0x01, of a mesh point
                    elements.mode = Mode::mesh;
                }
            }
            return;
        case 'A':
            if (matches(line, "Authentication Suites (", rest)) {
                // Authentication Suites (2) : PSK unknown (8)
                const std::size_t colon = rest.find(':');
                if (colon != std::string_view::npos) readSuites(rest.substr(colon + 1));
            }
            return;
        case 'I':
            // IE: Unknown: 3D1606...  (the whole element in hex)
            if (matches(line, "IE: Unknown: ", rest)) elements.radio.readHex(rest);
            return;
        case 'P':
            if (matches(line, "Pairwise Cipher", rest)) {
                // Pairwise Ciphers (2) : TKIP CCMP
                const std::size_t colon = rest.find(':');
                if (colon != std::string_view::npos)
                    readIwlistCiphers(rest.substr(colon + 1), elements.ciphers);
            }
            return;
        case 'M':
            if (matches(line, "Mode:", rest) && elements.mode != Mode::mesh) {
                // Mode:Master; many vendor drivers print Managed for an access point
                trim(rest);
                if (rest == "Master" || rest == "Managed") {
                    elements.mode = Mode::infrastructure;
                } else if (rest == "Ad-Hoc") {
                    elements.mode = Mode::adHoc;
                }
            }
            return;
        default:
            return;
    }
}

void AccessPoint::readSuites(std::string_view words) {
    // iwlist names the first two suites of 00-0F-AC, prints any other as "unknown (N)", and
    // one of another vendor as "Proprietary"; "none" and other words name no suite.
    std::string_view word, previous;
    for (; nextLine(ltrim(words), ' ', word); previous = word) {
        Suite suite;
        if (word == "802.1x" || word == "802.1X") {
            suite = 1;
        } else if (word == "PSK") {
            suite = 2;
        } else if (word == "Proprietary") {
            suite = kVendorSuite;
        } else if (previous == "unknown" && word.size() >= 3 && word.size() <= 5 &&
                   word.front() == '(' && word.back() == ')') {
            // (8): a suite type is one byte
            suite = 0;
            for (const char c : word.substr(1, word.size() - 2)) {
                suite = isDigit(c) ? suite * 10 + (c - '0') : kVendorSuite;
            }
            if (suite >= kVendorSuite) continue;
        } else {
            continue;
        }
        if (!named_.test(suite)) {
            named_.set(suite);
            suites.push_back(suite);
        }
    }
}

Auth authOf(const AccessPoint& ap, std::string_view security) {
    if (!ap.encrypted) return Auth::open;
    bool sae = false, psk = false, owe = false;
    for (const Suite suite : ap.suites) {
        switch (suite) {
            case 1:
            case 3:
            case 5:
            case 11:
            case 12:
            case 13:  // 802.1X
            case 14:
            case 15:
            case 16:
            case 17:  // FILS
                return Auth::enterprise;
            case 8:
            case 9:
            case 24:
            case 25:
                sae = true;
                break;
            case 2:
            case 4:
            case 6:
            case 19:
            case 20:
                psk = true;
                break;
            case 18:
                owe = true;
                break;
            default:
                break;
        }
    }
    if (sae) return psk ? Auth::pskSae : Auth::sae;
    if (psk) return Auth::psk;
    if (owe) return Auth::owe;
    std::string_view rest;
    if (ap.suites.empty() && !matches(security, "WPA", rest)) return Auth::wep;
    return Auth::unknown;
}

}  // namespace wlsurvey
