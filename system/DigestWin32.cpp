// SHA-256 through CryptoAPI in advapi32: the AES provider has it from Windows XP SP3 on, and no DLL
// beside the known ones is imported.
#include "system/Digest.h"

#include "util/NumberText.h"

#include <array>

#include <windows.h>

#include <wincrypt.h>

namespace yar {

namespace {

// A provider context and a hash object, released with their owner.
class THashObject {
public:
    THashObject() = default;
    ~THashObject() {
        if (Hash) CryptDestroyHash(Hash);
        if (Provider) CryptReleaseContext(Provider, 0);
    }
    THashObject(const THashObject&) = delete;
    THashObject& operator=(const THashObject&) = delete;

    HCRYPTPROV Provider = 0;
    HCRYPTHASH Hash = 0;
};

} // namespace

std::optional<std::string> Sha256Hex(std::string_view bytes) {
    THashObject object;
    if (!CryptAcquireContextA(&object.Provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) ||
        !CryptCreateHash(object.Provider, CALG_SHA_256, 0, 0, &object.Hash))
        return std::nullopt;
    // CryptHashData takes a DWORD length: large inputs go in parts.
    constexpr std::size_t kPart = 1u << 30;
    for (std::size_t at = 0; at < bytes.size(); at += kPart) {
        const std::string_view part = bytes.substr(at, kPart);
        if (!CryptHashData(object.Hash, reinterpret_cast<const BYTE*>(part.data()),
                           static_cast<DWORD>(part.size()), 0))
            return std::nullopt;
    }
    std::array<BYTE, 32> digest{};
    DWORD length = digest.size();
    if (!CryptGetHashParam(object.Hash, HP_HASHVAL, digest.data(), &length, 0) || length != digest.size())
        return std::nullopt;
    return HexBytes(std::string_view(reinterpret_cast<const char*>(digest.data()), digest.size()));
}

} // namespace yar
