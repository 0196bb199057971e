#include "system/ComScope.h"

#include <objbase.h>

namespace yar {

TComScope::TComScope() : Initialized_(SUCCEEDED(CoInitialize(nullptr))) {}

TComScope::~TComScope() {
    if (Initialized_) CoUninitialize();
}

} // namespace yar
