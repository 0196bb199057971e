// A program that formats through a string stream: the C++ library's locales and streams come with it,
// which check-symbols.sh must find.
#include <sstream>

int main(int argc, char**) {
    std::ostringstream text;
    text << argc;
    return static_cast<int>(text.str().size());
}
