#include "toolkit/SystemLibrary.h"

#include <string>

namespace yar {

HMODULE LoadSystemLibrary(const char* name) {
    char dir[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(dir, sizeof dir);
    if (length == 0 || length >= sizeof dir) return nullptr;
    return LoadLibraryA((std::string(dir, length) + "\\" + name).c_str());
}

} // namespace yar
