// The contract with the outside scanners: the commands that run them and how their ending reads.
#pragma once

#include <string>
#include <string_view>

namespace wlsurvey {

/// Quotes `word` for the POSIX shell so that it reaches the program as exactly one literal
/// argument: wrapped in single quotes, each single quote inside written as '\''.
std::string shellQuote(std::string_view word);

/// The shell command that scans `interfaceName` for `essid` through wireless extensions:
///   iwlist 'IF' scan essid 'ESSID' last 2> /dev/null
std::string scanCommand(std::string_view interfaceName, std::string_view essid);

/// The same scan through nl80211, for when wireless extensions cannot scan:
///   iw dev 'IF' scan 2> /dev/null   or   iw dev 'IF' scan ssid 'ESSID' 2> /dev/null
std::string iwScanCommand(std::string_view interfaceName, std::string_view essid);

/// How `program` ended, from pclose()'s `waitStatus` ("iwlist exited with status 255",
/// "iw not found"), or an empty string when it exited normally with status 0.
std::string scanFailure(std::string_view program, int waitStatus);

}  // namespace wlsurvey
