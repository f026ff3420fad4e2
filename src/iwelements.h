// What iw prints of an access point's elements, read into the same facts iwlist's lines give:
// its capability, MESH ID, the HT and VHT operation, the capabilities elements, the elements
// it prints as hex (with -u, and those of a length it calls invalid), and the pairwise ciphers
// of its WPA and RSN elements. iw's scan.c printers are what these words are read against.
#pragma once

#include <string_view>

#include "accesspoint.h"

namespace wlsurvey {

class IwElementReader {
  public:
    /// Starts an access point's block.
    void reset() { open_ = Open::none; }

    /// Reads one line of an access point's block as iw printed it, its tabs kept, into `facts`.
    void read(std::string_view line, ElementFacts& facts);

  private:
    enum class Open : unsigned char {
        none,
        htOperation,
        vhtOperation,
        heOperation,
        ehtOperation,
        wpa,
        rsn
    };

    Open open_ = Open::none;
    unsigned fields_[3] = {};  ///< an operation element's figures, read line by line
};

}  // namespace wlsurvey
