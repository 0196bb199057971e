// Ends through std::terminate, with the programs' terminate handler linked in: with an argument an
// exception escapes main, without one std::terminate is called with none in flight.
#include <exception>
#include <stdexcept>

int main(int argc, char**) {
    if (argc > 1) throw std::runtime_error("the probe's exception");
    std::terminate();
}
