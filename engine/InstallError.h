// A step of the install that stops the run, with the message the user is shown.
#pragma once

#include <stdexcept>

namespace yar {

class EInstallError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace yar
