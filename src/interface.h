// What the system itself says of an interface, asked once the scanners have failed and their
// words point at the interface rather than at the radio's answer.
#pragma once

#include <string>

namespace wlsurvey {

struct InterfaceState {
    bool exists = false;    ///< the kernel knows an interface of that name
    bool wireless = false;  ///< it belongs to a wireless device (cfg80211 or wireless extensions)
    bool blocked = false;   ///< an rfkill switch of its radio, soft or hard, is on
};

/// The state of the interface named `name`. Files under /sys are only read for a name the
/// kernel knows: a word from the command line never becomes a path as it is.
InterfaceState inspectInterface(const std::string& name);

}  // namespace wlsurvey
