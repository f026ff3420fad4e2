// The interface to scan when the command line names none: wlan0 where the system has it, else
// the system's only wireless interface, found under /sys/class/net without a scanner call.
#pragma once

#include <string>
#include <vector>

namespace wlsurvey {

/// Where the kernel lists its network interfaces, a folder per interface.
constexpr const char* kSysClassNet = "/sys/class/net";

struct Adapter {
    std::string name = "wlan0";         ///< the interface to scan
    bool fellBack = false;              ///< wlan0 for want of it and of a single wireless interface
    std::vector<std::string> wireless;  ///< then the wireless interfaces found, sorted
};

/// The adapter under `root` (kSysClassNet, or a made-up tree of a test): `root`/wlan0 when it
/// exists; else the one entry holding `phy80211` (cfg80211) or `wireless` (wireless
/// extensions); else wlan0, with the wireless entries found (none, or several).
Adapter findAdapter(const std::string& root);

/// What a line saying there is no such interface adds for `adapter`: for a fallback,
/// " (wireless interfaces: wlp2s0, wlx00c0ca123456)" or " (wireless interfaces: none)", each
/// name as `printable` writes it; else nothing.
std::string foundText(const Adapter& adapter);

}  // namespace wlsurvey
