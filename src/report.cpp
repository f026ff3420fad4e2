#include "report.h"

namespace wlsurvey {

bool printReport(const std::vector<NetworkView>& networks, int out) {
    for (const NetworkView& network : networks) {
        if (!network.cell->print(out)) return false;
    }
    return true;
}

}  // namespace wlsurvey
