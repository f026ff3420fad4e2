// What ends the tool should an exception escape: run() answers every failure it knows with a
// message and a status, so none should. Linked into every program build, as its own file: the
// C++ library's first terminate handler names the escaped exception's type, and so links a
// demangler of some 50 KiB into every static build, a sixteenth of the file (measured: 1.5 % of
// a whole run). Defining the library's initial handler here keeps it out; a dynamic build keeps
// the shared library's own handler, whose demangler is there anyway.
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <string>

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
    line += '\n';
    if (write(STDERR_FILENO, line.data(), line.size()) < 0) std::abort();
    std::abort();
}

}  // namespace

namespace __cxxabiv1 {
std::terminate_handler __terminate_handler = endAfterUncaught;
}  // namespace __cxxabiv1
