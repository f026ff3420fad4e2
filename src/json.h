// The report as one JSON document, for the programs that call the tool: what the eight lines
// show, and what they leave out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "accesspoint.h"
#include "networks.h"

namespace wlsurvey {

/// Writes `networks` (the named networks in the report's order, with their access points) as
/// one JSON document on one line, then a line feed, to the file descriptor `out`:
/// {"interface":...,"source":...,"networks":[...]}. False when it could not be written whole.
bool printJson(const std::vector<NetworkView>& networks, std::string_view interfaceName,
               std::string_view source, int out);

/// The name a key management suite goes by in the document: "PSK", "SAE", "AKM-10", "VENDOR".
std::string suiteName(Suite suite);

/// The name a pairwise cipher goes by in the document: "CCMP", "GCMP-256", "CIPHER-6", "VENDOR".
std::string cipherName(Cipher cipher);

/// The document's word for what a user must give to join: "open", "psk+sae", "enterprise"...
std::string_view authName(Auth auth);

}  // namespace wlsurvey
