// MD5 (RFC 1321) of byte strings and whole files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class TFileStream;
}

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
// Digest text (lower case) of every byte of an open file, read through that handle from its
// start: the bytes digested are the bytes of the file the caller holds, whatever its name
// points at meanwhile. A read error ends the input there.
std::string StreamMd5(platform::TFileStream& file);
// True when `expected` equals the file's digest ignoring case; `computed` gets it in upper case.
bool Md5Matches(const std::string& expected, const std::string& fileName, std::string& computed);
bool Md5Matches(const std::string& expected, platform::TFileStream& file, std::string& computed);

}  // namespace download
