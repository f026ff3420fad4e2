#include "json.h"

#include "textutil.h"

namespace wlsurvey {

namespace {

/// How many bytes of well-formed UTF-8 start `text` (RFC 3629: no overlong forms, no
/// surrogates, nothing past U+10FFFF); 0 when none do.
std::size_t utf8Length(std::string_view text) {
    const auto byte = [&text](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    // The second byte's range depends on the lead; every later one is 80-BF.
    std::size_t length;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong below
        if (lead == 0xED) high = 0x9F;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong below
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF above
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

void appendNumber(std::string& json, std::int64_t value) {
    char digits[24];
    json.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

template <typename Number>
void appendNumber(std::string& json, const std::optional<Number>& value) {
    if (value) {
        appendNumber(json, *value);
    } else {
        json += "null";
    }
}

/// The channel as a number when the report's text is one to three digits and nothing else.
std::optional<std::int32_t> channelNumber(std::string_view channel) {
    if (channel.empty() || channel.size() > 3) return std::nullopt;
    for (const char c : channel) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    return readInt(channel);
}

void appendNetwork(std::string& json, const Cell& cell, const Details& details) {
    static constexpr char kHex[] = "0123456789abcdef";
    const std::string ssid = unescapeHex(cell.essid);
    json += "{\"ssid\":";
    appendJsonString(json, ssid);
    json += ",\"ssid_hex\":\"";
    for (const char c : ssid) {
        const auto byte = static_cast<unsigned char>(c);
        json.append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
    }
    json += "\",\"active\":";
    json += cell.isActive ? "true" : "false";
    json += ",\"bssid\":";
    if (details.address) {
        appendJsonString(json, *details.address);
    } else {
        json += "null";
    }
    json += ",\"channel\":";
    appendNumber(json, channelNumber(cell.channel));
    json += ",\"frequency_mhz\":";
    appendNumber(json, details.frequencyMhz);
    json += ",\"signal_percent\":";
    appendNumber(json, cell.signalPercent);
    json += ",\"signal_dbm\":";
    appendNumber(json, details.signalDbm);
    json += ",\"bars\":";
    appendNumber(json, cell.barLevel);
    json += ",\"rate_mbps\":";
    appendNumber(json, cell.maxRate);
    json += ",\"security\":";
    appendJsonString(json, cell.security);
    json += ",\"encrypted\":";
    json += details.encrypted ? "true" : "false";
    json += ",\"key_management\":[";
    for (std::size_t i = 0; i < details.suites.size(); ++i) {
        if (i > 0) json += ',';
        json.append(1, '"').append(suiteName(details.suites[i])).append(1, '"');
    }
    json += "],\"age_ms\":";
    appendNumber(json, details.ageMs);
    json += ",\"access_points\":";
    appendNumber(json, details.accessPoints);
    json += '}';
}

}  // namespace

void appendJsonString(std::string& json, std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    json += '"';
    while (!bytes.empty()) {
        const char c = bytes.front();
        const auto byte = static_cast<unsigned char>(c);
        std::size_t length = 1;
        if (c == '"' || c == '\\') {
            json.append(1, '\\').append(1, c);
        } else if (byte < 0x20) {
            static constexpr char kShort[] = "btn\0fr";  // 0x08 to 0x0D
            if (byte >= 0x08 && byte <= 0x0D && kShort[byte - 0x08] != '\0') {
                json.append(1, '\\').append(1, kShort[byte - 0x08]);
            } else {
                json.append("\\u00").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
            }
        } else if (byte < 0x80) {
            json += c;
        } else if ((length = utf8Length(bytes)) > 0) {
            json.append(bytes.substr(0, length));
        } else {
            length = 1;
            json += "\xEF\xBF\xBD";  // U+FFFD for a byte that starts no character
        }
        bytes.remove_prefix(length);
    }
    json += '"';
}

std::string suiteName(Suite suite) {
    static constexpr std::string_view kNames[] = {
        {},
        "802.1X",
        "PSK",
        "FT-802.1X",
        "FT-PSK",
        "802.1X-SHA256",
        "PSK-SHA256",
        "TDLS",
        "SAE",
        "FT-SAE",
        {},
        "802.1X-SUITE-B",
        "802.1X-SUITE-B-192",
        "FT-802.1X-SHA384",
        "FILS-SHA256",
        "FILS-SHA384",
        "FT-FILS-SHA256",
        "FT-FILS-SHA384",
        "OWE",
        "FT-PSK-SHA384",
        "PSK-SHA384",
        {},
        {},
        {},
        "SAE-EXT-KEY",
        "FT-SAE-EXT-KEY",
    };
    if (suite == kVendorSuite) return "VENDOR";
    if (suite < std::size(kNames) && !kNames[suite].empty()) return std::string(kNames[suite]);
    return "AKM-" + std::to_string(suite);
}

bool printJson(const NetworkList& networks, std::string_view interfaceName, std::string_view source,
               int out) {
    std::string json = "{\"interface\":";
    appendJsonString(json, interfaceName);
    json += ",\"source\":";
    appendJsonString(json, source);
    json += ",\"networks\":[";
    bool first = true;
    for (const Cell* cell : reportOrder(networks)) {
        if (!isNamed(*cell)) continue;
        if (!first) json += ',';
        first = false;
        appendNetwork(json, *cell, networks.details[cell - networks.cells.data()]);
    }
    json += "]}\n";
    return writeAll(out, json);
}

}  // namespace wlsurvey
