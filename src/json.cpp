#include "json.h"

#include "jsonwriter.h"
#include "textutil.h"

namespace wlsurvey {

namespace {

/// The channel as a number when the report's text is one to three digits and nothing else.
std::optional<std::int32_t> channelNumber(std::string_view channel) {
    if (channel.empty() || channel.size() > 3) return std::nullopt;
    for (const char c : channel) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    return readInt(channel);
}

std::string_view modeName(Mode mode) {
    switch (mode) {
        case Mode::infrastructure:
            return "infrastructure";
        case Mode::adHoc:
            return "ad-hoc";
        case Mode::mesh:
            return "mesh";
        case Mode::unknown:
            break;
    }
    return {};
}

/// What each access point of a network says of itself, in `bsses` and in the network's own
/// members.
void writeRadio(JsonWriter& json, const AccessPoint& ap) {
    json.key("band").wordOrNull(bandOf(ap.frequencyMhz));
    json.key("channel_width_mhz").number(ap.elements.radio.widthMhz());
    json.key("generation").number(ap.elements.radio.generation());
}

void writeBss(JsonWriter& json, const AccessPoint& ap) {
    json.beginObject();
    json.key("bssid").stringOrNull(ap.address);
    json.key("channel").number(channelNumber(ap.channel));
    json.key("frequency_mhz").number(ap.frequencyMhz);
    writeRadio(json, ap);
    json.key("signal_percent").number(ap.signalPercent);
    json.key("signal_dbm").number(ap.signalDbm);
    json.key("age_ms").number(ap.ageMs);
    json.endObject();
}

void writeNetwork(JsonWriter& json, const NetworkView& network) {
    static constexpr char kHex[] = "0123456789abcdef";
    static const AccessPoint kNone;
    const Cell& cell = *network.cell;
    const AccessPoint& ap = network.accessPoints.empty() ? kNone : *network.accessPoints.front();
    const std::string ssid = unescapeHex(cell.essid);
    std::string hex(2 * ssid.size(), '0');
    for (std::size_t i = 0; i < ssid.size(); ++i) {
        const auto byte = static_cast<unsigned char>(ssid[i]);
        hex[2 * i] = kHex[byte >> 4];
        hex[2 * i + 1] = kHex[byte & 15];
    }
    json.beginObject();
    json.key("ssid").string(ssid);
    json.key("ssid_hex").word(hex);
    json.key("active").boolean(cell.isActive);
    json.key("bssid").stringOrNull(ap.address);
    json.key("channel").number(channelNumber(cell.channel));
    json.key("frequency_mhz").number(ap.frequencyMhz);
    json.key("signal_percent").number(cell.signalPercent);
    json.key("signal_dbm").number(ap.signalDbm);
    json.key("bars").number(cell.barLevel);
    json.key("rate_mbps").number(cell.maxRate);
    json.key("security").string(cell.security);
    json.key("encrypted").boolean(ap.encrypted);
    json.key("key_management").beginArray();
    for (const Suite suite : ap.suites) json.word(suiteName(suite));
    json.endArray();
    json.key("age_ms").number(ap.ageMs);
    json.key("access_points").number(static_cast<std::int64_t>(network.accessPoints.size()));
    writeRadio(json, ap);
    json.key("mode").wordOrNull(modeName(ap.elements.mode));
    json.key("pairwise_ciphers").beginArray();
    for (const Cipher cipher : ap.elements.ciphers.ciphers) json.word(cipherName(cipher));
    json.endArray();
    json.key("auth").word(authName(authOf(ap, cell.security)));
    json.key("bsses").beginArray();
    for (const AccessPoint* member : network.accessPoints) writeBss(json, *member);
    json.endArray();
    json.endObject();
}

}  // namespace

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

std::string cipherName(Cipher cipher) {
    static constexpr std::string_view kNames[] = {
        {}, "WEP-40", "TKIP", {}, "CCMP", "WEP-104", {}, {}, "GCMP-128", "GCMP-256", "CCMP-256",
    };
    if (cipher == kVendorCipher) return "VENDOR";
    if (cipher < std::size(kNames) && !kNames[cipher].empty()) return std::string(kNames[cipher]);
    return "CIPHER-" + std::to_string(cipher);
}

std::string_view authName(Auth auth) {
    static constexpr std::string_view kNames[] = {"open", "enterprise", "psk+sae", "sae",
                                                  "psk",  "owe",        "wep",     "unknown"};
    return kNames[static_cast<unsigned>(auth)];
}

bool printJson(const std::vector<NetworkView>& networks, std::string_view interfaceName,
               std::string_view source, int out) {
    // Room for each network and each of its access points, as they mostly come: the document
    // is seldom moved as it grows.
    std::size_t size = 256;
    for (const NetworkView& network : networks) size += 512 + 256 * network.accessPoints.size();
    JsonWriter json(size);
    json.beginObject();
    json.key("interface").string(interfaceName);
    json.key("source").string(source);
    json.key("networks").beginArray();
    for (const NetworkView& network : networks) writeNetwork(json, network);
    json.endArray();
    json.endObject();
    json.raw("\n");
    return writeAll(out, json.text());
}

}  // namespace wlsurvey
