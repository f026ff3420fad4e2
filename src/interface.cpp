#include "interface.h"

#include <dirent.h>
#include <fcntl.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

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

/// Whether an rfkill entry of the radio whose sysfs folder is `path` blocks it; `path` is
/// used as room for the entries' paths and left as it came.
bool radioBlocked(std::string& path) {
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr) return false;
    const std::size_t base = path.size();
    bool blocked = false;
    while (const dirent* entry = readdir(folder)) {
        if (blocked || std::strncmp(entry->d_name, "rfkill", 6) != 0) continue;
        for (const char* leaf : {"/soft", "/hard"}) {
            path.append("/").append(entry->d_name).append(leaf);
            blocked |= switchOn(path);
            path.resize(base);
        }
    }
    closedir(folder);
    return blocked;
}

}  // namespace

InterfaceState inspectInterface(const std::string& name) {
    InterfaceState state;
    // A name the kernel knows holds no '/' and is neither "." nor "..".
    state.exists = if_nametoindex(name.c_str()) != 0;
    if (!state.exists) return state;
    std::string path = "/sys/class/net/" + name;
    const std::size_t device = path.size();
    path += "/phy80211";
    const bool phy = pathExists(path);
    state.blocked = phy && radioBlocked(path);
    path.resize(device);
    state.wireless = phy || pathExists(path + "/wireless");
    return state;
}

}  // namespace wlsurvey
