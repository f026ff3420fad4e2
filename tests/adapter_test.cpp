// The adapter rule on made-up machines: each row a /sys/class/net of its own, built in a
// temporary folder, and the interface and the failure line's addition it must give.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "adapter.h"

namespace {

struct Machine {
    const char* entries;  ///< NAME a folder, NAME/LEAF one with LEAF in it, NAME! a plain file
    const char* name;     ///< the interface to scan
    const char* found;    ///< what a "no such interface" line adds
};

const Machine kMachines[] = {
    // wlan0 wins whatever else there is, wireless or not.
    {"wlan0/phy80211 wlp2s0/phy80211", "wlan0", ""},
    {"wlan0 eth0", "wlan0", ""},
    // No wlan0: the only wireless entry, by cfg80211 or by wireless extensions alone.
    {"lo eth0 wlp2s0/phy80211 bonding_masters!", "wlp2s0", ""},
    {"wlx00c0ca123456/wireless eth0/statistics", "wlx00c0ca123456", ""},
    // Several, or none: wlan0, and the line lists what there is, sorted.
    {"wlx00c0ca123456/phy80211 eth0 wlp2s0/wireless", "wlan0",
     " (wireless interfaces: wlp2s0, wlx00c0ca123456)"},
    {"lo eth0 .hidden/phy80211", "wlan0", " (wireless interfaces: none)"},
    {"", "wlan0", " (wireless interfaces: none)"},
};

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("adapter_test." + std::to_string(getpid()));
    int failed = 0;
    for (const Machine& machine : kMachines) {
        fs::remove_all(root);
        fs::create_directories(root);
        std::istringstream entries(machine.entries);
        for (std::string entry; entries >> entry;) {
            if (entry.back() == '!') {
                std::ofstream(root / entry.substr(0, entry.size() - 1)) << "1\n";
            } else {
                fs::create_directories(root / entry);
            }
        }
        const wlsurvey::Adapter adapter = wlsurvey::findAdapter(root.string());
        const std::string found = wlsurvey::foundText(adapter);
        if (adapter.name != machine.name || found != machine.found) {
            std::printf("FAIL: %s: got %s%s, want %s%s\n", machine.entries, adapter.name.c_str(),
                        found.c_str(), machine.name, machine.found);
            ++failed;
        }
    }
    fs::remove_all(root);
    // A machine whose /sys/class/net cannot be read has no wireless interface either.
    if (wlsurvey::foundText(wlsurvey::findAdapter((root / "absent").string())) !=
        " (wireless interfaces: none)") {
        std::printf("FAIL: an absent folder\n");
        ++failed;
    }
    std::printf("adapter_test: %zu machines, %d failed\n", std::size(kMachines) + 1, failed);
    return failed == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
