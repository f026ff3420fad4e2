#include "iwscan.h"

#include <algorithm>

#include "iwelements.h"
#include "textutil.h"

namespace wlsurvey {

namespace {

constexpr std::string_view kField = "                    ";
constexpr std::string_view kRateWrap = "\n                              ";

/// "BSS 02:00:00:00:01:00(on wlan0) -- associated" starts an access point's block. Only such a
/// header stands at the start of a line: fields and elements, "BSS Load:" among them, are indented.
bool bssAddress(std::string_view line, std::string_view& address) {
    if (!matches(line, "BSS ", address)) return false;
    address = address.substr(0, address.find('('));
    return true;
}

/// iw indents the fields and elements of an access point by one tab, what they hold by more.
bool topLevel(std::string_view line) {
    return line.size() > 1 && line[0] == '\t' && line[1] != '\t';
}

/// One rate of a rates element in units of 500 kb/s, from iw's "5.5*", "54.0", "HT".
int halfMegabits(std::string_view figure) {
    if (!figure.empty() && figure.back() == '*') figure.remove_suffix(1);
    // Membership selectors: what the kernel hands iwlist for those bytes, 0x7f-masked.
    if (figure == "HT") return 127;
    if (figure == "VHT") return 126;
    if (figure == "SAE-H2E-only") return 123;
    const std::size_t dot = figure.find('.');
    const int whole = std::clamp(readInt(figure.substr(0, dot)), 0, 127);
    const bool half = dot != std::string_view::npos && dot + 1 < figure.size() &&
                      figure[dot + 1] >= '5' && figure[dot + 1] <= '9';
    return std::min(2 * whole + (half ? 1 : 0), 127);
}

/// A rate as iwlist prints it: "5.5 Mb/s", "54 Mb/s", and below 1 Mb/s "500 kb/s".
void appendRate(std::string& text, int halves) {
    if (halves < 2) {
        text.append(Decimal(halves * 500));
        text += " kb/s";
        return;
    }
    text.append(Decimal(halves / 2));
    if (halves % 2 != 0) text += ".5";
    text += " Mb/s";
}

/// "Supported rates: 1.0* 2.0* 5.5* 11.0* 6.0 9.0 12.0 18.0" as one "Bit Rates:" list, five
/// figures to a line as iwlist wraps it.
void appendRates(std::string& text, std::string_view figures) {
    int count = 0;
    while (!ltrim(figures).empty()) {
        const std::size_t end = std::min(figures.find(' '), figures.size());
        const std::string_view figure = figures.substr(0, end);
        figures.remove_prefix(end);
        if (count == 0) {
            text.append(kField).append("Bit Rates:");
        } else {
            text.append(count % 5 == 0 ? kRateWrap : "; ");
        }
        appendRate(text, halfMegabits(figure));
        ++count;
    }
    if (count > 0) text += '\n';
}

/// "signal: -52.00 dBm" gives the quality the kernel reports for a signal in dBm: the whole
/// dBm, clamped to -110..-40, plus 110, out of 70. "signal: 60/100" is a quality as it is.
void appendQuality(std::string& text, std::string_view signal) {
    const std::int32_t level = readInt(signal);
    text.append(kField).append("Quality=");
    if (signal.find("/100") != std::string_view::npos) {
        text.append(Decimal(level));
        text.append("/100  Signal level=");
        text.append(Decimal(level));
        text.append("/100\n");
        return;
    }
    text.append(Decimal(std::clamp(level, -110, -40) + 110));
    text.append("/70  Signal level=");
    text.append(Decimal(level));
    text.append(" dBm\n");
}

/// "RSN:\t * Version: 1" and "WPA:\t * Version: 1" as iwlist's element lines.
void appendElement(std::string& text, std::string_view kind, std::string_view rest) {
    std::string_view version;
    text.append(kField).append("IE: ").append(kind).append(" Version ");
    text.append(Decimal(matchesAnywhere(rest, "* Version: ", version) ? readInt(version) : 0));
    text += '\n';
}

/// "freq: 2412" as iwlist's "Frequency:2.412 GHz" (its %g of the gigahertz).
void appendFrequency(std::string& text, std::int32_t mhz) {
    if (mhz <= 0) return;
    text.append(kField).append("Frequency:").append(Decimal(mhz / 1000));
    if (int thousandths = mhz % 1000; thousandths != 0) {
        char digits[] = {'.', static_cast<char>('0' + thousandths / 100),
                         static_cast<char>('0' + thousandths / 10 % 10),
                         static_cast<char>('0' + thousandths % 10)};
        std::size_t size = sizeof digits;
        while (digits[size - 1] == '0') --size;
        text.append(digits, size);
    }
    text.append(" GHz\n");
}

/// "last seen: 52 ms ago" as iwlist's "Extra: Last beacon: 52ms ago".
void appendAge(std::string& text, std::string_view lastSeen) {
    std::size_t digits = 0;
    while (digits < lastSeen.size() && digits < 18 && lastSeen[digits] >= '0' &&
           lastSeen[digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || lastSeen.substr(digits) != " ms ago") return;
    text.append(kField).append("Extra: Last beacon: ").append(lastSeen.substr(0, digits));
    text.append("ms ago\n");
}

/// The element whose deeper lines are being read: its own suites are named by iw, and any
/// other organisation's are another vendor's to iwlist.
enum class Element { none, wpa, rsn };

/// One suite of iw's "* Authentication suites: PSK FT/PSK 00-0f-ac:19" as iwlist names it
/// ("PSK", "802.1x", "unknown (19)", "Proprietary"); empty for a name iw has that this does not
/// know.
std::string iwlistSuite(std::string_view name, Element element) {
    // The suites of 00-0F-AC, by iw's name (newer iw's too); a WPA element has only the first
    // two of 00-50-F2.
    static constexpr std::string_view kNames[] = {
        {},
        "IEEE 802.1X",
        "PSK",
        "FT/IEEE 802.1X",
        "FT/PSK",
        "IEEE 802.1X/SHA-256",
        "PSK/SHA-256",
        "TDLS/TPK",
        "SAE",
        "FT/SAE",
        {},
        "IEEE 802.1X/SUITE-B",
        "IEEE 802.1X/SUITE-B-192",
        "FT/IEEE 802.1X/SHA-384",
        "FILS/SHA-256",
        "FILS/SHA-384",
        "FT/FILS/SHA-256",
        "FT/FILS/SHA-384",
        "OWE",
        "FT/PSK/SHA-384",
        "PSK/SHA-384",
        {},
        {},
        {},
        "SAE-EXT-KEY",
        "FT/SAE-EXT-KEY",
    };
    const std::string_view own = element == Element::wpa ? "00-50-f2:" : "00-0f-ac:";
    int suite = -1;
    std::string_view number;
    if (matches(name, own, number)) {
        suite = readInt(number);
        if (suite < 0 || suite > 255 || Decimal(suite) != number) return {};
    } else if (const auto known = std::find(std::begin(kNames), std::end(kNames), name);
               known != std::end(kNames) && !name.empty()) {
        suite = static_cast<int>(known - std::begin(kNames));
        if (element == Element::wpa && suite > 2) return "Proprietary";
    } else if (name == "OSEN" || name == "DPP" || name.find(':') != std::string_view::npos) {
        return "Proprietary";  // the Wi-Fi Alliance's, or another organisation's "50-6f-9a:5"
    } else {
        return {};
    }
    if (suite == 1) return "802.1x";
    if (suite == 2) return "PSK";
    return "unknown (" + std::to_string(suite) + ")";
}

/// "* Authentication suites: PSK SAE" as iwlist's "Authentication Suites (2) : PSK unknown (8)".
void appendSuites(std::string& text, std::string_view names, Element element) {
    std::string suites;
    int count = 0;
    for (std::string_view name; nextLine(ltrim(names), ' ', name);) {
        // iw's names of 802.1X suites hold a space: "IEEE 802.1X/SHA-256", "FT/IEEE 802.1X".
        if ((name == "IEEE" || name == "FT/IEEE") && !ltrim(names).empty()) {
            std::string_view next;
            nextLine(names, ' ', next);
            name = std::string_view(name.data(), next.data() + next.size() - name.data());
        }
        const std::string suite = iwlistSuite(name, element);
        if (suite.empty()) continue;
        suites.append(1, ' ').append(suite);
        ++count;
    }
    text.append(kField).append("    Authentication Suites (").append(Decimal(count));
    text.append(") :").append(suites).append("\n");
}

}  // namespace

std::int64_t channelOfFrequency(std::int64_t mhz) {
    if (mhz == 2484) return 14;
    if (mhz < 2484) return (mhz - 2407) / 5;
    if (mhz >= 4910 && mhz <= 4980) return (mhz - 4000) / 5;
    if (mhz < 5925) return (mhz - 5000) / 5;
    if (mhz == 5935) return 2;
    if (mhz <= 45000) return (mhz - 5950) / 5;
    if (mhz >= 58320 && mhz <= 70200) return (mhz - 56160) / 2160;
    return 0;
}

std::string iwlistEscape(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string printed;
    printed.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        // iwlist looks for four more bytes, not three, before it calls a backslash ambiguous.
        const bool ambiguous = byte == '\\' && name.size() - i > 4 && name[i + 1] == 'x' &&
                               hexDigit(name[i + 2]) >= 0 && hexDigit(name[i + 3]) >= 0;
        if (ambiguous || byte < 0x20 || byte >= 0x7f) {
            printed.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
        } else {
            printed += name[i];
        }
    }
    return printed;
}

IwlistText iwlistFromIw(std::string_view iwOutput, std::vector<ElementFacts>* elements) {
    IwlistText result;
    std::string& text = result.text;
    Element element = Element::none;
    IwElementReader reader;
    for (std::string_view line; nextLine(iwOutput, '\n', line);) {
        std::string_view rest;
        if (elements != nullptr && result.cells > 0) reader.read(line, elements->back());
        if (element != Element::none && line.size() > 2 && line[0] == '\t' && line[1] == '\t') {
            // \t\t * Authentication suites: PSK SAE
            if (matches(trim(line), "* Authentication suites:", rest)) {
                appendSuites(text, rest, element);
            }
            continue;
        }
        element = Element::none;
        if (bssAddress(line, rest)) {
            ++result.cells;
            if (elements != nullptr) {
                elements->emplace_back();
                reader.reset();
            }
            text.append("          Cell ");
            if (result.cells < 10) text += '0';
            text.append(Decimal(static_cast<int>(result.cells)));
            text.append(" - Address: ");
            for (const char c : rest) text += c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c;
            text += '\n';
            continue;
        }
        if (result.cells == 0 || !topLevel(line)) continue;
        trim(line);
        if (matches(line, "freq: ", rest)) {
            const std::int32_t mhz = readInt(rest);
            text.append(kField).append("Channel:");
            text.append(Decimal(channelOfFrequency(mhz))).append("\n");
            appendFrequency(text, mhz);
        } else if (matches(line, "capability:", rest)) {
            // capability: ESS Privacy ShortSlotTime (0x0411)
            text.append(kField).append("Encryption key:");
            text.append(rest.find(" Privacy") != std::string_view::npos ? "on\n" : "off\n");
        } else if (matches(line, "last seen: ", rest)) {
            appendAge(text, rest);
        } else if (matches(line, "signal: ", rest)) {
            appendQuality(text, rest);
        } else if (matches(line, "SSID:", rest) || matches(line, "MESH ID:", rest)) {
            // A mesh point's name is its MESH ID, which the kernel hands over as a second name.
            ltrim(rest);  // iw writes a space of the name's own as \x20 at either end
            text.append(kField).append("ESSID:\"").append(iwlistEscape(unescapeHex(rest)));
            text.append("\"\n");
        } else if (matches(line, "Supported rates:", rest) ||
                   matches(line, "Extended supported rates:", rest)) {
            appendRates(text, rest);
        } else if (matches(line, "RSN:", rest)) {
            appendElement(text, "IEEE 802.11i/WPA2", rest);
            element = Element::rsn;
        } else if (matches(line, "WPA:", rest)) {
            appendElement(text, "WPA", rest);
            element = Element::wpa;
        }
    }
    return result;
}

}  // namespace wlsurvey
