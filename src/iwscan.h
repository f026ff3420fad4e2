// iw's scan listing rewritten as the text iwlist prints for the same access points, so that a
// system whose driver no longer offers wireless extensions gets the very same report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "accesspoint.h"

namespace wlsurvey {

struct IwlistText {
    std::string text;       ///< one "Cell NN - Address: ..." section per access point
    std::size_t cells = 0;  ///< "BSS" blocks found in iw's output
};

/// Rewrites the output of `iw dev IF scan` into the lines iwlist prints for each access point
/// (the kernel's wireless-extensions layer makes them from the same scan results): the
/// header, channel, frequency, quality, encryption key, name, bit-rate lists, the last beacon,
/// and the WPA and WPA2 element lines with their authentication suites; a mesh point's MESH ID
/// as a second name line, where the kernel hands it over. When `elements` is given, it receives
/// what iw's words say of each access point's elements, one for each block in order.
IwlistText iwlistFromIw(std::string_view iwOutput, std::vector<ElementFacts>* elements = nullptr);

/// The kernel's channel number for a centre frequency in MHz, in 64 bits: any figure iw prints
/// (saturated at 32 bits) gives one without overflow.
std::int64_t channelOfFrequency(std::int64_t mhz);

/// A network name's bytes as iwlist prints them: bytes outside printable ASCII as \xHH, and a
/// backslash that would read as such an escape as \x5C.
std::string iwlistEscape(std::string_view name);

}  // namespace wlsurvey
