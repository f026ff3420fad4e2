// The text report: an eight-line block for each named network of the list, strongest first.
#pragma once

#include "networks.h"

namespace wlsurvey {

/// Prints every named network of `networks` to the file descriptor `out`, strongest first;
/// ties keep their list order. False when the report could not be written whole.
bool printReport(const NetworkList& networks, int out);

}  // namespace wlsurvey
