// What a shipped program does when an exception escapes or std::terminate is called: it names the
// exception on the standard error and aborts, as the C++ library's own handler does. That one also
// demangles the exception's type name, which brings the library's whole demangler (some 50 KB) into
// every program; this definition stands in for it, so the linker never takes the library's.
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

void Report(const char* text) {
    std::fputs(text, stderr);
}

} // namespace

// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl51-cpp): the library's name, replaced on purpose.
void __gnu_cxx::__verbose_terminate_handler() {
    static bool terminating = false;
    if (!terminating) {
        terminating = true; // a second call, from a throwing destructor during the report, only aborts
        if (const std::exception_ptr current = std::current_exception()) {
            try {
                std::rethrow_exception(current);
            } catch (const std::exception& e) {
                Report("terminate called after an exception: ");
                Report(e.what());
                Report("\n");
            } catch (...) {
                Report("terminate called after an exception of an unknown type\n");
            }
        } else {
            Report("terminate called without an active exception\n");
        }
    }
    std::abort();
}
