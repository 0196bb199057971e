// The canonical form of record paths on any input: it never fails in another way than by a refusal,
// and what it gives is a full local path in its own canonical form (a fixed point), with no "." or
// ".." part, no doubled separator and no wildcard but in its last part.
#include "util/CanonicalPaths.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace yar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    for (const bool wildcards : {false, true}) {
        const TCanonicalPath canonical = CanonicalPath(path, wildcards);
        if (canonical.Refused() != canonical.Path.empty()) std::abort();
        if (canonical.Refused()) continue;
        const std::string& p = canonical.Path;
        if (p.size() < 3 || p[1] != ':' || p[2] != '\\' || p[0] < 'A' || p[0] > 'Z') std::abort();
        if (CanonicalPath(p, wildcards) != canonical) std::abort();
        if (p.find("\\\\") != std::string::npos || p.find('/') != std::string::npos) std::abort();
        if (p.find("\\.\\") != std::string::npos || p.find("\\..\\") != std::string::npos) std::abort();
        if ((p.size() > 3 && p.back() == '\\') || p.ends_with("\\.") || p.ends_with("\\..")) std::abort();
        const std::size_t wildcard = p.find_first_of("*?");
        if (wildcard != std::string::npos && (!wildcards || p.find('\\', wildcard) != std::string::npos))
            std::abort();
        if (!CanonicalWithin(p, p.substr(0, 3))) std::abort();
    }
    return 0;
}
