// The text report: an eight-line block for each named network, strongest first.
#pragma once

#include <vector>

#include "networks.h"

namespace wlsurvey {

/// Prints each of `networks` (the named networks in the report's order) to the file descriptor
/// `out`. False when the report could not be written whole.
bool printReport(const std::vector<NetworkView>& networks, int out);

}  // namespace wlsurvey
