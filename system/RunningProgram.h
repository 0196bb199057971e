// The file of the program this process runs, for a setup that installs itself beside its product.
#pragma once

#include <string>

namespace yar {

// The bytes of the program file this process was started from. Read through a handle that is shown to
// be the file the system mapped for the process (not merely one of its name: the directory's owner may
// have put another file there since the start), and that lets no one write it while it is read.
// EInOutError when the file cannot be read or the name holds another file now.
std::string RunningProgramBytes();

} // namespace yar
