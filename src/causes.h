// Why a run ends without a report, one row per cause: its exit status, the words of its failure
// line, its line in --help, whether the line names the interface, and whether the survey stops
// at once. The survey's rules, the failure line and --help read the row; tests/statuses checks
// the manual page and the README against it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wlsurvey {

/// Whether a failure line names the interface before the cause's words.
constexpr bool kNamed = true, kUnnamed = false;
/// Whether the survey stops as soon as the cause is known: the kernel's held results would be
/// stale, and a user interface must not list networks while Wi-Fi is off.
constexpr bool kEnds = true, kGoesOn = false;

// X(NAME, STATUS, NAMED, ENDS, WORDS, HELP). A row without HELP shares the status of the row
// above it and the line --help gives for it.
#define WLSURVEY_CAUSES(X)                                                                       \
    X(none, 0, kUnnamed, kGoesOn, "", "a report (possibly empty), or this help")                 \
    X(other, 1, kUnnamed, kGoesOn, "scan failed", "any other failure")                           \
    X(noSuchInterface, 2, kNamed, kEnds, "no such interface", "no such interface")               \
    X(notWireless, 3, kNamed, kEnds, "not a wireless interface", "not a wireless interface")     \
    X(down, 4, kNamed, kEnds, "interface is down", "the interface is down")                      \
    X(blocked, 5, kNamed, kEnds, "radio is blocked (rfkill)", "its radio is blocked (rfkill)")   \
    X(cannotScanInMode, 6, kNamed, kGoesOn, "cannot scan in its mode",                           \
      "the interface cannot scan in its mode")                                                   \
    X(notPermitted, 7, kNamed, kGoesOn, "not permitted to scan (needs root or CAP_NET_ADMIN)",   \
      "not permitted to scan, and no recent results held")                                       \
    X(busy, 8, kNamed, kGoesOn, "busy", "another scan kept the radio busy, and no results came") \
    X(timedOut, 9, kNamed, kGoesOn, "timed out",                                                 \
      "the time limit ended the run, and no results came")                                       \
    X(noScanner, 10, kUnnamed, kGoesOn, "no scanner (iwlist or iw) found",                       \
      "neither iwlist nor iw found")                                                             \
    X(unknownOption, 64, kUnnamed, kGoesOn, "unknown option",                                    \
      "a usage error: an unknown option, or one after INTERFACE")                                \
    X(optionAfterInterface, 64, kUnnamed, kGoesOn, "options go before INTERFACE", "")

/// Why no report could be had; `none` for a report.
enum class Cause : unsigned char {
#define WLSURVEY_CAUSE_NAME(name, status, named, ends, words, help) name,
    WLSURVEY_CAUSES(WLSURVEY_CAUSE_NAME)
#undef WLSURVEY_CAUSE_NAME
};

struct CauseRow {
    int status;              ///< the exit status, written out
    bool namesInterface;     ///< the failure line starts with the interface
    bool endsRun;            ///< the survey stops as soon as this cause is known
    std::string_view words;  ///< the failure line's words for it
    std::string_view help;   ///< its line in --help; empty: the row above's
};

inline constexpr CauseRow kCauses[] = {
#define WLSURVEY_CAUSE_ROW(name, status, named, ends, words, help) \
    {status, named, ends, words, help},
    WLSURVEY_CAUSES(WLSURVEY_CAUSE_ROW)
#undef WLSURVEY_CAUSE_ROW
};

/// The row of `cause`.
constexpr const CauseRow& row(Cause cause) {
    return kCauses[static_cast<std::size_t>(cause)];
}

/// `text` with --help's list of exit statuses after it, a line each: the status right-aligned
/// in four columns, two spaces, the row's help.
std::string statusList(std::string text);

}  // namespace wlsurvey
