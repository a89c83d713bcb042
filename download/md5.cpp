// MD5 as RFC 1321 gives it, written for speed: the rounds are unrolled, the block is read as
// little-endian words once, and files are fed in large windows straight from the read buffer.
#include "download/md5.h"

#include <cstring>
#include <memory>

#include "platform/file.h"
#include "platform/text.h"

namespace download {

namespace {

inline uint32_t Rotl(uint32_t x, int c) {
    return (x << c) | (x >> (32 - c));
}

// Each step's sum is formed so that only the last operations wait for b, the word the step
// before has just made: the message word and constant are added to a first, and G's two
// halves, which never share a bit, are added one at a time (the half without b first).
#define LG_MD5_STEP(f, a, b, c, d, x, t, s) \
    a += (x) + (t);                         \
    a += f(b, c, d);                        \
    a = Rotl(a, s) + b;
#define LG_MD5_STEP_G(a, b, c, d, x, t, s) \
    a += (x) + (t);                        \
    a += (c) & ~(d);                       \
    a += (b) & (d);                        \
    a = Rotl(a, s) + b;
#define LG_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define LG_H(x, y, z) ((x) ^ ((y) ^ (z)))
#define LG_I(x, y, z) ((y) ^ ((x) | ~(z)))

inline uint32_t Load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void Transform(uint32_t state[4], const uint8_t* block, size_t blocks) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (; blocks > 0; --blocks, block += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; ++i) x[i] = Load32(block + 4 * i);
        const uint32_t aa = a, bb = b, cc = c, dd = d;
        LG_MD5_STEP(LG_F, a, b, c, d, x[0], 0xd76aa478, 7)
        LG_MD5_STEP(LG_F, d, a, b, c, x[1], 0xe8c7b756, 12)
        LG_MD5_STEP(LG_F, c, d, a, b, x[2], 0x242070db, 17)
        LG_MD5_STEP(LG_F, b, c, d, a, x[3], 0xc1bdceee, 22)
        LG_MD5_STEP(LG_F, a, b, c, d, x[4], 0xf57c0faf, 7)
        LG_MD5_STEP(LG_F, d, a, b, c, x[5], 0x4787c62a, 12)
        LG_MD5_STEP(LG_F, c, d, a, b, x[6], 0xa8304613, 17)
        LG_MD5_STEP(LG_F, b, c, d, a, x[7], 0xfd469501, 22)
        LG_MD5_STEP(LG_F, a, b, c, d, x[8], 0x698098d8, 7)
        LG_MD5_STEP(LG_F, d, a, b, c, x[9], 0x8b44f7af, 12)
        LG_MD5_STEP(LG_F, c, d, a, b, x[10], 0xffff5bb1, 17)
        LG_MD5_STEP(LG_F, b, c, d, a, x[11], 0x895cd7be, 22)
        LG_MD5_STEP(LG_F, a, b, c, d, x[12], 0x6b901122, 7)
        LG_MD5_STEP(LG_F, d, a, b, c, x[13], 0xfd987193, 12)
        LG_MD5_STEP(LG_F, c, d, a, b, x[14], 0xa679438e, 17)
        LG_MD5_STEP(LG_F, b, c, d, a, x[15], 0x49b40821, 22)
        LG_MD5_STEP_G(a, b, c, d, x[1], 0xf61e2562, 5)
        LG_MD5_STEP_G(d, a, b, c, x[6], 0xc040b340, 9)
        LG_MD5_STEP_G(c, d, a, b, x[11], 0x265e5a51, 14)
        LG_MD5_STEP_G(b, c, d, a, x[0], 0xe9b6c7aa, 20)
        LG_MD5_STEP_G(a, b, c, d, x[5], 0xd62f105d, 5)
        LG_MD5_STEP_G(d, a, b, c, x[10], 0x02441453, 9)
        LG_MD5_STEP_G(c, d, a, b, x[15], 0xd8a1e681, 14)
        LG_MD5_STEP_G(b, c, d, a, x[4], 0xe7d3fbc8, 20)
        LG_MD5_STEP_G(a, b, c, d, x[9], 0x21e1cde6, 5)
        LG_MD5_STEP_G(d, a, b, c, x[14], 0xc33707d6, 9)
        LG_MD5_STEP_G(c, d, a, b, x[3], 0xf4d50d87, 14)
        LG_MD5_STEP_G(b, c, d, a, x[8], 0x455a14ed, 20)
        LG_MD5_STEP_G(a, b, c, d, x[13], 0xa9e3e905, 5)
        LG_MD5_STEP_G(d, a, b, c, x[2], 0xfcefa3f8, 9)
        LG_MD5_STEP_G(c, d, a, b, x[7], 0x676f02d9, 14)
        LG_MD5_STEP_G(b, c, d, a, x[12], 0x8d2a4c8a, 20)
        LG_MD5_STEP(LG_H, a, b, c, d, x[5], 0xfffa3942, 4)
        LG_MD5_STEP(LG_H, d, a, b, c, x[8], 0x8771f681, 11)
        LG_MD5_STEP(LG_H, c, d, a, b, x[11], 0x6d9d6122, 16)
        LG_MD5_STEP(LG_H, b, c, d, a, x[14], 0xfde5380c, 23)
        LG_MD5_STEP(LG_H, a, b, c, d, x[1], 0xa4beea44, 4)
        LG_MD5_STEP(LG_H, d, a, b, c, x[4], 0x4bdecfa9, 11)
        LG_MD5_STEP(LG_H, c, d, a, b, x[7], 0xf6bb4b60, 16)
        LG_MD5_STEP(LG_H, b, c, d, a, x[10], 0xbebfbc70, 23)
        LG_MD5_STEP(LG_H, a, b, c, d, x[13], 0x289b7ec6, 4)
        LG_MD5_STEP(LG_H, d, a, b, c, x[0], 0xeaa127fa, 11)
        LG_MD5_STEP(LG_H, c, d, a, b, x[3], 0xd4ef3085, 16)
        LG_MD5_STEP(LG_H, b, c, d, a, x[6], 0x04881d05, 23)
        LG_MD5_STEP(LG_H, a, b, c, d, x[9], 0xd9d4d039, 4)
        LG_MD5_STEP(LG_H, d, a, b, c, x[12], 0xe6db99e5, 11)
        LG_MD5_STEP(LG_H, c, d, a, b, x[15], 0x1fa27cf8, 16)
        LG_MD5_STEP(LG_H, b, c, d, a, x[2], 0xc4ac5665, 23)
        LG_MD5_STEP(LG_I, a, b, c, d, x[0], 0xf4292244, 6)
        LG_MD5_STEP(LG_I, d, a, b, c, x[7], 0x432aff97, 10)
        LG_MD5_STEP(LG_I, c, d, a, b, x[14], 0xab9423a7, 15)
        LG_MD5_STEP(LG_I, b, c, d, a, x[5], 0xfc93a039, 21)
        LG_MD5_STEP(LG_I, a, b, c, d, x[12], 0x655b59c3, 6)
        LG_MD5_STEP(LG_I, d, a, b, c, x[3], 0x8f0ccc92, 10)
        LG_MD5_STEP(LG_I, c, d, a, b, x[10], 0xffeff47d, 15)
        LG_MD5_STEP(LG_I, b, c, d, a, x[1], 0x85845dd1, 21)
        LG_MD5_STEP(LG_I, a, b, c, d, x[8], 0x6fa87e4f, 6)
        LG_MD5_STEP(LG_I, d, a, b, c, x[15], 0xfe2ce6e0, 10)
        LG_MD5_STEP(LG_I, c, d, a, b, x[6], 0xa3014314, 15)
        LG_MD5_STEP(LG_I, b, c, d, a, x[13], 0x4e0811a1, 21)
        LG_MD5_STEP(LG_I, a, b, c, d, x[4], 0xf7537e82, 6)
        LG_MD5_STEP(LG_I, d, a, b, c, x[11], 0xbd3af235, 10)
        LG_MD5_STEP(LG_I, c, d, a, b, x[2], 0x2ad7d2bb, 15)
        LG_MD5_STEP(LG_I, b, c, d, a, x[9], 0xeb86d391, 21)
        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state[0] = a;
    state[1] = b;
    state[2] = c;
    state[3] = d;
}

}  // namespace

void Md5Init(TMd5Context& context) {
    context.State[0] = 0x67452301;
    context.State[1] = 0xefcdab89;
    context.State[2] = 0x98badcfe;
    context.State[3] = 0x10325476;
    context.Count[0] = context.Count[1] = 0;
    std::memset(context.Buffer, 0, sizeof context.Buffer);
}

void Md5Update(TMd5Context& context, const void* data, size_t length) {
    const auto* input = static_cast<const uint8_t*>(data);
    size_t index = (context.Count[0] >> 3) & 0x3F;
    const uint64_t bits = (static_cast<uint64_t>(context.Count[1]) << 32 | context.Count[0]) +
                          (static_cast<uint64_t>(length) << 3);
    context.Count[0] = static_cast<uint32_t>(bits);
    context.Count[1] = static_cast<uint32_t>(bits >> 32);
    if (index > 0) {
        const size_t fill = 64 - index;
        if (length < fill) {
            std::memcpy(context.Buffer + index, input, length);
            return;
        }
        std::memcpy(context.Buffer + index, input, fill);
        Transform(context.State, context.Buffer, 1);
        input += fill;
        length -= fill;
    }
    const size_t blocks = length / 64;
    Transform(context.State, input, blocks);
    input += blocks * 64;
    length -= blocks * 64;
    std::memcpy(context.Buffer, input, length);
}

void Md5Final(TMd5Context& context, uint8_t digest[16]) {
    uint8_t bits[8];
    for (int i = 0; i < 4; ++i) {
        bits[i] = static_cast<uint8_t>(context.Count[0] >> (8 * i));
        bits[4 + i] = static_cast<uint8_t>(context.Count[1] >> (8 * i));
    }
    const size_t index = (context.Count[0] >> 3) & 0x3F;
    const size_t padLen = index < 56 ? 56 - index : 120 - index;
    static const uint8_t kPadding[64] = {0x80};
    Md5Update(context, kPadding, padLen);
    Md5Update(context, bits, 8);
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<uint8_t>(context.State[i] >> (8 * k));
    // The context held the last block of the input; it does not outlive the digest.
    volatile uint8_t* p = reinterpret_cast<volatile uint8_t*>(&context);
    for (size_t i = 0; i < sizeof context; ++i) p[i] = 0;
}

std::string Md5Hex(const uint8_t digest[16]) {
    static const char kHex[] = "0123456789abcdef";
    std::string out(32, '0');
    for (int i = 0; i < 16; ++i) {
        out[2 * i] = kHex[digest[i] >> 4];
        out[2 * i + 1] = kHex[digest[i] & 0xF];
    }
    return out;
}

std::string Md5OfBytes(std::string_view bytes) {
    TMd5Context c;
    Md5Init(c);
    Md5Update(c, bytes.data(), bytes.size());
    uint8_t d[16];
    Md5Final(c, d);
    return Md5Hex(d);
}

namespace {
void UpdateFromStream(TMd5Context& c, platform::TFileStream& file) {
    // Every byte counts, however large the file: it is read in windows, never sized by a
    // 32-bit value. A window small enough to stay in the processor's cache between the copy out
    // of the file cache and the digest: with 1 MiB windows the copy went to memory and back, and
    // the system time was four times md5sum's.
    constexpr size_t kWindow = 64 * 1024;
    std::unique_ptr<uint8_t[]> buf(new uint8_t[kWindow]);
    if (!file.Seek(0)) return;
    for (;;) {
        const int64_t n = file.Read(buf.get(), kWindow);
        if (n <= 0) break;
        Md5Update(c, buf.get(), static_cast<size_t>(n));
    }
}

std::string Finish(TMd5Context& c) {
    uint8_t d[16];
    Md5Final(c, d);
    return Md5Hex(d);
}
}  // namespace

std::string StreamMd5(platform::TFileStream& file) {
    TMd5Context c;
    Md5Init(c);
    UpdateFromStream(c, file);
    return Finish(c);
}

std::string FileMd5(const std::string& fileName) {
    TMd5Context c;
    Md5Init(c);
    if (auto file = platform::TFileStream::Open(fileName, platform::FileMode::kOpenReadShared))
        UpdateFromStream(c, *file);
    return Finish(c);
}

bool Md5Matches(const std::string& expected, const std::string& fileName, std::string& computed) {
    computed = platform::UpperCase(FileMd5(fileName));
    return platform::UpperCase(expected) == computed;
}

bool Md5Matches(const std::string& expected, platform::TFileStream& file, std::string& computed) {
    computed = platform::UpperCase(StreamMd5(file));
    return platform::UpperCase(expected) == computed;
}

}  // namespace download
