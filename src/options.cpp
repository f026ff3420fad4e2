#include "options.h"

namespace wlsurvey {

namespace {

Options misused(Cause error, std::string_view word) {
    Options options;
    options.action = Action::misused;
    options.error = error;
    options.wrongWord = word;
    return options;
}

}  // namespace

Options parseOptions(int argc, const char* const argv[]) {
    Options options;
    bool literal = false;  // `--` came: no later word is an option
    int next = 1;
    for (; next < argc; ++next) {
        const std::string_view word = argv[next];
        if (word.empty() || word.front() != '-') break;
        if (word == "--") {
            literal = true;
            ++next;
            break;
        }
        if (word == "--json") {
            options.json = true;
        } else if (word == "--cached") {
            options.cached = true;
        } else if (word == "-h" || word == "--help") {
            options.action = Action::help;
            return options;
        } else if (word == "--version") {
            options.action = Action::version;
            return options;
        } else {
            return misused(Cause::unknownOption, word);
        }
    }
    // A network may be called anything, but one called exactly like an option is far more
    // likely an option put after INTERFACE: `wlsurvey wlan0 --json` would print the text report.
    for (int later = next + 1; !literal && later < argc; ++later) {
        const std::string_view word = argv[later];
        if (word == "--json" || word == "--cached")
            return misused(Cause::optionAfterInterface, word);
    }
    const int words = argc - next;
    options.hasInterface = words > 0;
    if (words > 0) options.interfaceName = argv[next];
    if (words > 1) options.activeSSID = argv[next + 1];
    if (words > 2) options.essid = argv[next + 2];
    return options;
}

}  // namespace wlsurvey
