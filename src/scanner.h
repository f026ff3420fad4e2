// The contract with the outside scanner: the command that runs it and how its ending reads.
#pragma once

#include <string>
#include <string_view>

namespace wlsurvey {

/// Quotes `word` for the POSIX shell so that it reaches the program as exactly one literal
/// argument: wrapped in single quotes, each single quote inside written as '\''.
std::string shellQuote(std::string_view word);

/// The shell command that scans `interfaceName` for `essid`:
///   iwlist 'IF' scan essid 'ESSID' last 2> /dev/null
std::string scanCommand(std::string_view interfaceName, std::string_view essid);

/// The message for a scan that ended badly, from pclose()'s `waitStatus`, or an empty string
/// when the scanner exited normally with status 0.
std::string scanFailure(int waitStatus);

}  // namespace wlsurvey
