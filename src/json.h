// The report as one JSON document, for the programs that call the tool: what the eight lines
// show, and what they leave out.
#pragma once

#include <string>
#include <string_view>

#include "details.h"
#include "networks.h"

namespace wlsurvey {

/// Writes the networks the report shows, in its order, as one JSON document on one line, then
/// a line feed, to the file descriptor `out`: {"interface":...,"source":...,"networks":[...]}.
/// `networks` must carry its Details. False when it could not be written whole.
bool printJson(const NetworkList& networks, std::string_view interfaceName, std::string_view source,
               int out);

/// Appends `bytes` as a JSON string, quoted: well-formed UTF-8 as it is, every other byte as
/// U+FFFD, and only '"', '\' and the bytes below 0x20 escaped.
void appendJsonString(std::string& json, std::string_view bytes);

/// The name a key management suite goes by in the document: "PSK", "SAE", "AKM-10", "VENDOR".
std::string suiteName(Suite suite);

}  // namespace wlsurvey
