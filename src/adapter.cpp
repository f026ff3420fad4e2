#include "adapter.h"

#include <dirent.h>
#include <sys/stat.h>

#include "textutil.h"

namespace wlsurvey {

namespace {

bool entryExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

/// The entries of `root` with `phy80211` or `wireless` in them, sorted.
std::vector<std::string> wirelessEntries(const std::string& root) {
    std::vector<std::string> found;
    DIR* folder = opendir(root.c_str());
    if (folder == nullptr) return found;
    std::string path = root + '/';
    const std::size_t base = path.size();
    while (const dirent* entry = readdir(folder)) {
        if (entry->d_name[0] == '.') continue;
        path.resize(base);
        path.append(entry->d_name);
        if (entryExists(path + "/phy80211") || entryExists(path + "/wireless")) {
            // Kept sorted as they come: a machine has a handful at most.
            found.emplace_back(entry->d_name);
            for (std::size_t i = found.size() - 1; i > 0 && found[i] < found[i - 1]; --i) {
                found[i].swap(found[i - 1]);
            }
        }
    }
    closedir(folder);
    return found;
}

}  // namespace

Adapter findAdapter(const std::string& root) {
    Adapter adapter;
    if (entryExists(root + '/' + adapter.name)) return adapter;
    adapter.wireless = wirelessEntries(root);
    if (adapter.wireless.size() == 1) {
        adapter.name = std::move(adapter.wireless.front());
        adapter.wireless.clear();
    } else {
        adapter.fellBack = true;
    }
    return adapter;
}

std::string foundText(const Adapter& adapter) {
    if (!adapter.fellBack) return {};
    std::string text = " (wireless interfaces: ";
    if (adapter.wireless.empty()) text += "none";
    for (const std::string& name : adapter.wireless) {
        if (&name != &adapter.wireless.front()) text += ", ";
        text += printable(name, 15);  // the kernel's names are at most 15 bytes
    }
    return text + ')';
}

}  // namespace wlsurvey
