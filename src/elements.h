// What an access point's information elements say of its radio (channel width, Wi-Fi
// generation) and of its pairwise ciphers, decoded from the elements' bytes as IEEE 802.11 lays
// them out. Both scanners' readers feed it: iwlist's hex of the elements it does not decode,
// and iw's words for the ones it does.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace wlsurvey {

/// A pairwise cipher suite: 0 to 255 are the suite types of the element's own organisation
/// (00-0F-AC in RSN, 00-50-F2 in WPA), and kVendorCipher is another organisation's.
using Cipher = std::uint16_t;
constexpr Cipher kVendorCipher = 256;

/// How an access point's network is joined, as its capability and elements say.
enum class Mode : unsigned char { unknown, infrastructure, adHoc, mesh };

/// Element identifiers this reads; an extension element (255) carries its own in its first byte.
namespace element {
constexpr int htCapabilities = 45;
constexpr int htOperation = 61;
constexpr int vhtCapabilities = 191;
constexpr int vhtOperation = 192;
constexpr int extension = 255;
constexpr int heCapabilities = 35;    ///< extension
constexpr int heOperation = 36;       ///< extension
constexpr int ehtOperation = 106;     ///< extension
constexpr int ehtCapabilities = 108;  ///< extension
}  // namespace element

struct Radio {
    /// An element's body (the bytes after its identifier and length); for an extension element
    /// (id 255), the body with its extension identifier first. Only the first element of each
    /// kind counts, as the kernel reads them; one shorter than the field it needs counts as
    /// absent.
    void readElement(int id, std::string_view body);
    /// iwlist's "IE: Unknown: 3D16..." text after "Unknown: ": the whole element in hex.
    void readHex(std::string_view hex);

    /// The fields each operation element gives, set once (the first element of its kind).
    void htOperation(unsigned secondaryOffset, bool anyWidth);
    void vhtOperation(unsigned width, unsigned segment1, unsigned segment2);
    void he6GhzControl(unsigned control);
    void ehtControl(unsigned control);
    void capabilities(int generation);

    /// 20, 40, 80, 160 or 320 MHz: the EHT operation, the HE operation's 6 GHz information, the
    /// VHT operation, then the HT operation, the first the block has deciding.
    std::optional<std::int32_t> widthMhz() const;
    /// 7 (EHT capabilities), 6 (HE), 5 (VHT), 4 (HT), or nothing.
    std::optional<std::int32_t> generation() const;

  private:
    std::optional<std::int32_t> eht_, he6_, ht_;
    std::optional<std::int32_t> vht_;  ///< 0 when it leaves the width to the HT operation
    bool seen_[4] = {};                ///< an operation element of each kind was read
    unsigned generations_ = 0;         ///< a bit for each generation's capabilities element
};

/// Pairwise ciphers, each named once, in the order the elements named them.
struct CipherList {
    void add(Cipher cipher);
    std::vector<Cipher> ciphers;

  private:
    std::bitset<kVendorCipher + 1> named_;
};

/// iwlist's words for a pairwise cipher, read from "Pairwise Ciphers (2) : TKIP CCMP" after the
/// colon: "none", "WEP-40", "TKIP", "WRAP", "CCMP", "WEP-104", "unknown (N)", "Proprietary".
void readIwlistCiphers(std::string_view words, CipherList& list);

/// iw's words for pairwise ciphers in a WPA (`wpa`) or RSN element, read from "* Pairwise
/// ciphers: CCMP 00-0f-ac:10" after the colon.
void readIwCiphers(std::string_view words, bool wpa, CipherList& list);

/// The band of a frequency: "2.4", "5", "6", "60", or empty for none of them.
std::string_view bandOf(std::optional<std::int64_t> mhz);

}  // namespace wlsurvey
