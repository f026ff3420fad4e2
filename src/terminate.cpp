// What ends the tool should an exception escape: run() answers every failure it knows with a
// message and a status, so none should. Linked into every program build, as its own file: the
// C++ library's first terminate handler names the escaped exception's type, and so links a
// demangler of some 50 KiB into every static build, a sixteenth of the file (measured: 1.5 % of
// a whole run). Defining the library's initial handler here keeps it out of a static file;
// std::set_terminate would bring it back, so only a dynamic build, whose shared library keeps
// its own initial handler, sets this one when it starts.
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <string>

#include "textutil.h"

namespace {

/// The escaped exception's message on standard error, then abort.
[[noreturn]] void endAfterUncaught() noexcept {
    std::string line = "wlsurvey: internal error";
    try {
        if (const std::exception_ptr escaped = std::current_exception()) {
            std::rethrow_exception(escaped);
        }
    } catch (const std::exception& error) {
        line.append(": ").append(error.what());
    } catch (...) {
    }
    wlsurvey::writeAll(STDERR_FILENO, line + '\n');
    std::abort();
}

#ifndef WLSURVEY_STATIC_LINK
[[maybe_unused]] const std::terminate_handler libraryHandler = std::set_terminate(endAfterUncaught);
#endif

}  // namespace

#ifdef WLSURVEY_STATIC_LINK
namespace __cxxabiv1 {
std::terminate_handler __terminate_handler = endAfterUncaught;
}  // namespace __cxxabiv1
#endif
