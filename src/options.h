// The command line's grammar: the leading options, `--`, and the words after them.
#pragma once

#include <string_view>

#include "causes.h"

namespace wlsurvey {

/// What the words ask for.
enum class Action : unsigned char {
    survey,   ///< a scan, or a read of the held results
    help,     ///< -h or --help among the leading options
    version,  ///< --version among them
    misused,  ///< a usage error: `error` says which, `wrongWord` names the word
};

struct Options {
    Action action = Action::survey;
    bool json = false;
    bool cached = false;
    bool hasInterface = false;       ///< an INTERFACE word was given, even an empty one
    std::string_view interfaceName;  ///< that word
    std::string_view activeSSID;     ///< empty when not given
    std::string_view essid;          ///< empty when not given
    Cause error = Cause::none;       ///< unknownOption or optionAfterInterface
    std::string_view wrongWord;      ///< the word of a usage error
};

/// Reads `argv` (program, then its words). The leading words that start with '-' are options:
/// --json, --cached, -h, --help, --version, and `--`, which ends them; the first of -h, --help
/// or --version decides the action, and any other such word is an unknown option. The next
/// word is INTERFACE, then ACTIVE-SSID and ESSID; later words are ignored. A word after
/// INTERFACE that is exactly --json or --cached is a usage error, unless `--` came first.
Options parseOptions(int argc, const char* const argv[]);

}  // namespace wlsurvey
