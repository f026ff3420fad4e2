#include "elements.h"

#include <algorithm>

#include "textutil.h"

namespace wlsurvey {

namespace {

enum Kind { kEht, kHe, kVht, kHt };

unsigned byteAt(std::string_view body, std::size_t at) {
    return static_cast<unsigned char>(body[at]);
}

}  // namespace

void Radio::readElement(int id, std::string_view body) {
    switch (id) {
        case element::htCapabilities:
            capabilities(4);
            return;
        case element::vhtCapabilities:
            capabilities(5);
            return;
        case element::htOperation:
            // primary channel, then offset (bits 0-1) and STA channel width (bit 2)
            if (body.size() >= 2) htOperation(byteAt(body, 1) & 3, (byteAt(body, 1) & 4) != 0);
            return;
        case element::vhtOperation:
            // width, centre segment 0, centre segment 1
            if (body.size() >= 3) vhtOperation(byteAt(body, 0), byteAt(body, 1), byteAt(body, 2));
            return;
        case element::extension:
            break;
        default:
            return;
    }
    if (body.empty()) return;
    const unsigned extension = byteAt(body, 0);
    body.remove_prefix(1);
    if (extension == element::heCapabilities) {
        capabilities(6);
    } else if (extension == element::ehtCapabilities) {
        capabilities(7);
    } else if (extension == element::heOperation && body.size() >= 6) {
        // Three bytes of parameters, the BSS colour, two of basic MCS; then the VHT operation
        // information (3, parameter bit 14), the co-hosted BSSID indicator (1, bit 15) and the
        // 6 GHz operation information (5, bit 17): primary channel, control, ...
        const unsigned parameters = byteAt(body, 1) << 8 | byteAt(body, 2) << 16;
        std::size_t at = 6;
        if ((parameters & 1u << 14) != 0) at += 3;
        if ((parameters & 1u << 15) != 0) at += 1;
        if ((parameters & 1u << 17) == 0) {
            seen_[kHe] = true;  // present, but says nothing of the width
        } else if (body.size() >= at + 2) {
            he6GhzControl(byteAt(body, at + 1));
        }
    } else if (extension == element::ehtOperation && body.size() >= 1) {
        // Parameters (bit 0: information present), four bytes of basic MCS, then the
        // information: control (width in bits 0-2), two centre segments.
        if ((byteAt(body, 0) & 1) == 0) {
            seen_[kEht] = true;
        } else if (body.size() >= 6) {
            ehtControl(byteAt(body, 5));
        }
    }
}

void Radio::readHex(std::string_view hex) {
    // Only an element this reads is decoded (a scan block holds many, vendors' above all), and
    // only as far as its length says: at most 257 bytes, without allocating.
    if (hex.size() < 4 || hexDigit(hex[0]) < 0 || hexDigit(hex[1]) < 0) return;
    const int id = hexDigit(hex[0]) * 16 + hexDigit(hex[1]);
    if (id != element::htCapabilities && id != element::htOperation &&
        id != element::vhtCapabilities && id != element::vhtOperation && id != element::extension) {
        return;
    }
    char bytes[257];
    std::size_t size = 0;
    for (std::size_t i = 0; i + 1 < hex.size() && size < sizeof bytes; i += 2) {
        const int high = hexDigit(hex[i]), low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) break;
        bytes[size++] = static_cast<char>(high << 4 | low);
    }
    if (size < 2) return;
    const std::size_t length = static_cast<unsigned char>(bytes[1]);
    readElement(static_cast<unsigned char>(bytes[0]),
                std::string_view(bytes + 2, std::min(length, size - 2)));
}

void Radio::htOperation(unsigned secondaryOffset, bool anyWidth) {
    if (seen_[kHt]) return;
    seen_[kHt] = true;
    ht_ = anyWidth && (secondaryOffset == 1 || secondaryOffset == 3) ? 40 : 20;
}

void Radio::vhtOperation(unsigned width, unsigned segment1, unsigned segment2) {
    if (seen_[kVht]) return;
    seen_[kVht] = true;
    if (width == 0) {
        vht_ = 0;  // the HT operation decides
    } else if (width == 1) {
        // As the kernel reads a second segment in an 80 MHz operation: 8 apart is one 160 MHz
        // channel, further apart two 80 MHz ones, 160 in all.
        const unsigned apart = segment1 > segment2 ? segment1 - segment2 : segment2 - segment1;
        vht_ = segment2 != 0 && apart >= 8 ? 160 : 80;
    } else if (width <= 3) {
        vht_ = 160;
    } else {
        vht_ = 0;  // no width the kernel knows: the HT operation decides
    }
}

void Radio::he6GhzControl(unsigned control) {
    if (seen_[kHe]) return;
    seen_[kHe] = true;
    static constexpr std::int32_t kWidths[] = {20, 40, 80, 160};
    he6_ = kWidths[control & 3];
}

void Radio::ehtControl(unsigned control) {
    if (seen_[kEht]) return;
    seen_[kEht] = true;
    static constexpr std::int32_t kWidths[] = {20, 40, 80, 160, 320};
    if ((control & 7) <= 4) eht_ = kWidths[control & 7];
}

void Radio::capabilities(int generation) {
    generations_ |= 1u << generation;
}

std::optional<std::int32_t> Radio::widthMhz() const {
    if (eht_) return eht_;
    if (he6_) return he6_;
    if (vht_ && *vht_ != 0) return vht_;
    return ht_;
}

std::optional<std::int32_t> Radio::generation() const {
    for (int generation = 7; generation >= 4; --generation) {
        if ((generations_ & 1u << generation) != 0) return generation;
    }
    return std::nullopt;
}

void CipherList::add(Cipher cipher) {
    if (named_.test(cipher)) return;
    named_.set(cipher);
    ciphers.push_back(cipher);
}

void readIwlistCiphers(std::string_view words, CipherList& list) {
    static constexpr std::string_view kNames[] = {"none", "WEP-40", "TKIP",
                                                  "WRAP", "CCMP",   "WEP-104"};
    std::string_view word, previous;
    for (; nextLine(ltrim(words), ' ', word); previous = word) {
        if (word == "Proprietary") {
            list.add(kVendorCipher);
            continue;
        }
        for (Cipher type = 0; type < std::size(kNames); ++type) {
            if (word == kNames[type]) list.add(type);
        }
        // unknown (9): a suite type is one byte
        if (previous == "unknown" && word.size() >= 3 && word.size() <= 5 && word.front() == '(' &&
            word.back() == ')') {
            const std::string_view digits = word.substr(1, word.size() - 2);
            const std::int32_t type = readInt(digits);
            if (type >= 0 && type <= 255 && Decimal(type) == digits) list.add(type);
        }
    }
}

void readIwCiphers(std::string_view words, bool wpa, CipherList& list) {
    // iw's names of 00-0F-AC's types (the first five also of 00-50-F2's); it writes any other
    // suite as "00-0f-ac:10".
    static constexpr std::string_view kNames[] = {
        {},         "WEP-40", "TKIP",     {}, "CCMP",         "WEP-104",      "AES-128-CMAC",
        "NO-GROUP", "GCMP",   "GCMP-256", {}, "BIP-GMAC-128", "BIP-GMAC-256", "BIP-CMAC-256"};
    const std::string_view own = wpa ? "00-50-f2:" : "00-0f-ac:";
    for (std::string_view word; nextLine(ltrim(words), ' ', word);) {
        std::string_view rest;
        if (word == "Use" && matches(words, "group cipher suite", rest)) {
            words = rest;  // its name holds spaces: type 0
            list.add(0);
        } else if (matches(word, own, rest)) {
            const std::int32_t type = readInt(rest);
            if (type >= 0 && type <= 255 && Decimal(type) == rest) list.add(type);
        } else if (word.find(':') != std::string_view::npos) {
            list.add(kVendorCipher);
        } else {
            for (Cipher type = 1; type < std::size(kNames); ++type) {
                if (word != kNames[type]) continue;
                // In a WPA element iw names only 00-50-F2's first five; the rest are RSN's.
                list.add(wpa && type > 5 ? kVendorCipher : type);
            }
        }
    }
}

std::string_view bandOf(std::optional<std::int64_t> mhz) {
    if (!mhz) return {};
    if (*mhz >= 2400 && *mhz <= 2500) return "2.4";
    if (*mhz >= 4900 && *mhz <= 5924) return "5";
    if (*mhz >= 5925 && *mhz <= 7125) return "6";
    if (*mhz >= 57000 && *mhz <= 71000) return "60";
    return {};
}

}  // namespace wlsurvey
