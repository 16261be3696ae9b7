#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <stdexcept>

#include "Sha256.h"

namespace {

// Closes what BCrypt opened on every way out.
struct Algorithm {
    BCRYPT_ALG_HANDLE handle = nullptr;
    ~Algorithm() {
        if (handle != nullptr) BCryptCloseAlgorithmProvider(handle, 0);
    }
};
struct Hash {
    BCRYPT_HASH_HANDLE handle = nullptr;
    ~Hash() {
        if (handle != nullptr) BCryptDestroyHash(handle);
    }
};

}  // namespace

// Windows' own hashing (the calls Windows 7 has), so the tool needs no library of its own.
std::string Sha256Hex(const std::vector<uint8_t>& bytes) {
    unsigned char digest[32];
    Algorithm algorithm;
    Hash hash;
    // BCryptHashData takes a non-const input buffer; it only reads it.
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&algorithm.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(
            BCryptCreateHash(algorithm.handle, &hash.handle, nullptr, 0, nullptr, 0, 0)) ||
        !BCRYPT_SUCCESS(BCryptHashData(hash.handle, const_cast<PUCHAR>(bytes.data()),
                                       static_cast<ULONG>(bytes.size()), 0)) ||
        !BCRYPT_SUCCESS(BCryptFinishHash(hash.handle, digest, sizeof digest, 0))) {
        throw std::runtime_error("SHA-256 failed");
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char value : digest) {
        hex.push_back(kHex[value >> 4]);
        hex.push_back(kHex[value & 0x0F]);
    }
    return hex;
}
