// DLLs the toolkit loads when first needed, never imported: an import of a DLL that is not a known DLL
// would be looked for beside the program first, and the program may lie in a Downloads folder.
#pragma once

#include <windows.h>

namespace yar {

// The DLL of that name from the system directory, by its full path; nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

} // namespace yar
