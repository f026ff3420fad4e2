#include "report.h"

namespace wlsurvey {

bool printReport(const NetworkList& networks, int out) {
    for (const Cell* cell : reportOrder(networks)) {
        if (isNamed(*cell) && !cell->print(out)) return false;
    }
    return true;
}

}  // namespace wlsurvey
