// A survey: the scanners tried in order until one gives the networks in range, or the cause
// of the failure once none can. It writes nothing; the command line reports what it returns.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "causes.h"
#include "networks.h"
#include "process.h"

namespace wlsurvey {

struct Request {
    std::string_view interfaceName = "wlan0";
    std::string_view essid;
    bool cached = false;    ///< read only the kernel's held results, starting no scan
    bool detailed = false;  ///< keep each access point's record, for the JSON document
};

/// The networks a scanner gave. Its cells are views into the text it printed, kept here.
struct Report {
    std::string_view source;  ///< the command's name: "iwlist", "iw scan dump"...
    Capture output;           ///< what the scanner printed
    std::string rewritten;    ///< iw's listing as iwlist prints it, for iw's commands
    Scan scan;
};

/// What a survey came to: a report, or a failure with its cause and, for the failure line,
/// every scanner run in order with how it ended.
struct Outcome {
    std::unique_ptr<Report> report;  ///< null on failure
    Cause cause = Cause::none;
    std::string detail;  ///< "iwlist exited with status 255 (...); iw exited with status 237 (...)"
};

/// Runs the scanners `request` calls for. A scanner gets 20 `second`s, the run 30; only a test
/// build shortens the second. Throws CannotRun when no scanner could be started for want of
/// pipes or processes, std::bad_alloc when an output outgrows memory.
Outcome survey(const Request& request, std::chrono::milliseconds second);

}  // namespace wlsurvey
