#pragma once

#include <cstdint>
#include <string>
#include <vector>

// SHA-256 of the bytes as 64 lower-case hexadecimal digits (OpenSSL's libcrypto; on Windows
// BCrypt).
std::string Sha256Hex(const std::vector<uint8_t>& bytes);
