// iw's scan listing rewritten as the text iwlist prints for the same access points, so that a
// system whose driver no longer offers wireless extensions gets the very same report.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wlsurvey {

struct IwlistText {
    std::string text;       ///< one "Cell NN - Address: ..." section per access point
    std::size_t cells = 0;  ///< "BSS" blocks found in iw's output
};

/// Rewrites the output of `iw dev IF scan` into the lines iwlist prints for each access point
/// (the kernel's wireless-extensions layer makes them from the same scan results): the
/// header, channel, frequency, quality, encryption key, name, bit-rate lists, the last beacon,
/// and the WPA and WPA2 element lines with their authentication suites.
IwlistText iwlistFromIw(std::string_view iwOutput);

/// The kernel's channel number for a centre frequency in MHz.
int channelOfFrequency(int mhz);

/// A network name's bytes as iwlist prints them: bytes outside printable ASCII as \xHH, and a
/// backslash that would read as such an escape as \x5C.
std::string iwlistEscape(std::string_view name);

}  // namespace wlsurvey
