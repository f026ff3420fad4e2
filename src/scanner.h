// The outside scanners: the commands that run them and how a run's ending reads.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "process.h"

namespace wlsurvey {

/// The commands that reach the kernel's scan results.
enum class Source : unsigned char {
    iwlistScan,  ///< iwlist IF scan essid ESSID last: a fresh scan through wireless extensions
    iwEvent,     ///< iw event: nl80211's events as they come, for the end of a scan
    iwTrigger,   ///< iw dev IF scan trigger [ssid ESSID]: starts the same scan through nl80211,
                 ///< for when wireless extensions cannot scan, and returns at once
    iwForce,     ///< iw dev IF scan trigger ap-force [ssid ESSID]: a scan on an access point's
                 ///< own interface, which the radio otherwise refuses
    iwlistLast,  ///< iwlist IF scan last: the results the kernel already holds (kept 30 s),
                 ///< starting no scan; allowed without root, and waits for a scan under way
    iwDump,      ///< iw dev IF scan dump -u: the kernel's held results through nl80211, at once,
                 ///< with the elements iw does not decode as hex
};

/// One scanner command: how the failure line names it ("iwlist", "iw event", "iw scan trigger",
/// "iw scan trigger ap-force", "iwlist scan last", "iw scan dump"), and the words it is run with
/// (the program, then its arguments, each reaching it as is).
struct Command {
    std::string_view name;
    std::vector<std::string> words;
};

/// The command that reads `source` for `interfaceName`; the listener and the readers of held
/// results take no ESSID.
Command command(Source source, std::string_view interfaceName, std::string_view essid);

/// True for the sources that run iw.
inline bool runsIw(Source source) {
    return source != Source::iwlistScan && source != Source::iwlistLast;
}

/// No pipe or process could be made for a scanner. Its message: "cannot run iwlist: Too many
/// open files".
class CannotRun : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

/// True when `line`, printed by iw's listener, tells that the scan of `interfaceName` ended:
/// "wlan0 (phy #0): scan finished: 2412 2417 ..., \"\"", or "... scan aborted".
bool scanEnded(std::string_view line, std::string_view interfaceName);

/// runChild() for `command`, its CannotStart told as CannotRun.
ChildResult runScanner(const Command& command, Deadline deadline,
                       std::chrono::steady_clock::duration reapWithin);

/// How `name`'s run ended, or an empty string when it exited with status 0: "iwlist exited
/// with status 255", "iw not found", "iwlist killed by signal 9", then " (REASON)" when it
/// wrote one on standard error. A killed run reads `name` + " " + `overrun`.
std::string scanFailure(std::string_view name, const ChildResult& result, std::string_view overrun);

/// What a scanner said on standard error, fit for one line: its first non-empty line, runs of
/// blanks made one space, trimmed, bytes outside printable ASCII as '?', at most 120 bytes.
std::string scanReason(std::string_view errors);

/// True when a failed iwlist scan says its results did not fit what wireless extensions hand
/// over (64 KiB: "Argument list too long", or "Allocation failed" from older builds): the
/// scan ran, and the kernel holds its results.
bool resultsDidNotFit(const ChildResult& result);

/// The errno behind a failed run of `source`, or 0 when its words tell none. iw prints it as
/// "command failed: No such device (-19)" and exits with 256 minus it; iwlist names it in the
/// C library's words after " : ", as in "wlan0 Interface doesn't support scanning : Network
/// is down".
int scanErrno(Source source, const ChildResult& result);

/// True when iwlist failed saying only "Interface doesn't support scanning.", without a system
/// message: its words for an interface that does not exist, is not wireless, or has a driver
/// without wireless extensions.
bool cannotScanHere(const ChildResult& result);

}  // namespace wlsurvey
