#include "causes.h"

#include <iterator>

namespace wlsurvey {

namespace {

/// Each status once in --help: every row with a help line has a status of its own, and a row
/// without one shares the status of the row above it.
constexpr bool statusesListedOnce() {
    for (std::size_t i = 0; i < std::size(kCauses); ++i) {
        const CauseRow& cause = kCauses[i];
        if (cause.help.empty() && (i == 0 || kCauses[i - 1].status != cause.status)) return false;
        for (std::size_t j = 0; j < i && !cause.help.empty(); ++j) {
            if (!kCauses[j].help.empty() && kCauses[j].status == cause.status) return false;
        }
    }
    return true;
}
static_assert(statusesListedOnce());
static_assert(row(Cause::none).status == 0 && row(Cause::other).status == 1);

/// Two digits at most, as --help's column has room for.
constexpr bool statusesFit() {
    for (const CauseRow& cause : kCauses) {
        if (cause.status < 0 || cause.status > 99) return false;
    }
    return true;
}
static_assert(statusesFit());

}  // namespace

std::string statusList(std::string text) {
    for (const CauseRow& cause : kCauses) {
        if (cause.help.empty()) continue;
        const char column[] = {' ',
                               ' ',
                               cause.status >= 10 ? char('0' + cause.status / 10) : ' ',
                               char('0' + cause.status % 10),
                               ' ',
                               ' '};
        text.append(column, sizeof column).append(cause.help).append("\n");
    }
    return text;
}

}  // namespace wlsurvey
