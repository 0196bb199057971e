#include "system/Launcher.h"

#include <ostream>

namespace yar {

std::ostream& operator<<(std::ostream& out, const TLaunchCall& call) {
    return out << "Launch(\"" << call.File << "\", \"" << call.Parameters << "\", \"" << call.Directory
               << "\")";
}

bool TRecordedLauncher::Launch(const std::string& file, const std::string& parameters,
                               const std::string& directory) {
    Calls_.push_back({file, parameters, directory});
    return Result_;
}

} // namespace yar
