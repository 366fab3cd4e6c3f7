// CryptoUniform on BCryptGenRandom.
#include "system/RandomSource.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdint>
#include <random>

#include "system/SystemLibrary.h"

double CryptoUniform() {
    using GenRandom = NTSTATUS(WINAPI*)(BCRYPT_ALG_HANDLE, PUCHAR, ULONG, ULONG);
    static const auto genRandom = SystemFunction<GenRandom>("bcrypt.dll", "BCryptGenRandom");
    uint64_t bits = 0;
    const NTSTATUS status = genRandom ? genRandom(nullptr, reinterpret_cast<PUCHAR>(&bits), sizeof bits,
                                                  BCRYPT_USE_SYSTEM_PREFERRED_RNG)
                                      : -1;
    if (status < 0) {
        // The system generator cannot fail on a working system; should it, the letters must
        // still differ between locks, so fall back to the library's non-deterministic source.
        static std::random_device device;
        bits = (static_cast<uint64_t>(device()) << 32) ^ device();
    }
    return static_cast<double>(bits >> 11) * (1.0 / 9007199254740992.0);   // / 2^53
}
