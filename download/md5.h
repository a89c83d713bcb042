// MD5 (RFC 1321) of byte strings and whole files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace download {

struct TMd5Context {
    uint32_t State[4];
    uint32_t Count[2];  // bit count, low word first
    uint8_t Buffer[64];
};

void Md5Init(TMd5Context& context);
void Md5Update(TMd5Context& context, const void* data, size_t length);
void Md5Final(TMd5Context& context, uint8_t digest[16]);  // wipes the context

std::string Md5Hex(const uint8_t digest[16]);  // lower case
std::string Md5OfBytes(std::string_view bytes);
// Digest text (lower case) of every byte of the file; a file that cannot be read contributes
// nothing, so it gives the digest of empty input.
std::string FileMd5(const std::string& fileName);
// True when `expected` equals the file's digest ignoring case; `computed` gets it in upper case.
bool Md5Matches(const std::string& expected, const std::string& fileName, std::string& computed);

}  // namespace download
