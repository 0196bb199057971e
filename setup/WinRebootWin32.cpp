#include "setup/WinReboot.h"
#include "system/Win32Restarter.h"

namespace yar {

TWinReboot::TWinReboot() : Owned_(std::make_unique<TWin32Restarter>()), Restarter_(*Owned_) {}

} // namespace yar
