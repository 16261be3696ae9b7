#include "Sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

namespace {

// Fetched once: EVP_sha256() looks the algorithm up under a lock on every call.
const EVP_MD* Sha256() {
    static const EVP_MD* const md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    return md;
}

}  // namespace

std::string Sha256Hex(const std::vector<uint8_t>& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (Sha256() == nullptr ||
        EVP_Digest(bytes.data(), bytes.size(), digest, &length, Sha256(), nullptr) != 1) {
        throw std::runtime_error("SHA-256 failed");
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        hex.push_back(kHex[digest[i] >> 4]);
        hex.push_back(kHex[digest[i] & 0x0F]);
    }
    return hex;
}
