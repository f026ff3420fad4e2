#include "interface.h"

#include <dirent.h>
#include <fcntl.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace wlsurvey {

namespace {

bool pathExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

/// True when the small file at `path` starts with "1": an rfkill switch that is on.
bool switchOn(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char first = 0;
    const bool on = read(fd, &first, 1) == 1 && first == '1';
    close(fd);
    return on;
}

/// Whether an rfkill entry of the radio behind `phy` (its sysfs folder) blocks it.
bool radioBlocked(const std::string& phy) {
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(phy.c_str()), closedir);
    if (!folder) return false;
    while (const dirent* entry = readdir(folder.get())) {
        if (std::strncmp(entry->d_name, "rfkill", 6) != 0) continue;
        const std::string rfkill = phy + '/' + entry->d_name;
        if (switchOn(rfkill + "/soft") || switchOn(rfkill + "/hard")) return true;
    }
    return false;
}

}  // namespace

InterfaceState inspectInterface(const std::string& name) {
    InterfaceState state;
    // A name the kernel knows holds no '/' and is neither "." nor "..".
    state.exists = if_nametoindex(name.c_str()) != 0;
    if (!state.exists) return state;
    const std::string device = "/sys/class/net/" + name;
    const std::string phy = device + "/phy80211";
    state.wireless = pathExists(phy) || pathExists(device + "/wireless");
    state.blocked = state.wireless && radioBlocked(phy);
    return state;
}

}  // namespace wlsurvey
