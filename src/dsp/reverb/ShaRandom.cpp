#include "dsp/reverb/ShaRandom.h"

namespace AudioLib
{
namespace
{
    constexpr std::uint32_t roundConstants[64] = {
        0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
        0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
        0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
        0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
        0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
        0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
        0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
        0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2
    };

    constexpr std::uint32_t rotr (std::uint32_t x, int n) noexcept
    {
        return (x >> n) | (x << (32 - n));
    }

    void compressBlock (std::uint32_t state[8], const std::uint8_t block[64]) noexcept
    {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = (std::uint32_t) block[4 * i] << 24 | (std::uint32_t) block[4 * i + 1] << 16 |
                   (std::uint32_t) block[4 * i + 2] << 8 | (std::uint32_t) block[4 * i + 3];

        for (int i = 16; i < 64; ++i)
        {
            const auto s0 = rotr (w[i - 15], 7) ^ rotr (w[i - 15], 18) ^ (w[i - 15] >> 3);
            const auto s1 = rotr (w[i - 2], 17) ^ rotr (w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }

        auto a = state[0], b = state[1], c = state[2], d = state[3];
        auto e = state[4], f = state[5], g = state[6], h = state[7];

        for (int i = 0; i < 64; ++i)
        {
            const auto t1 =
                h + (rotr (e, 6) ^ rotr (e, 11) ^ rotr (e, 25)) + ((e & f) ^ (~e & g)) + roundConstants[i] + w[i];
            const auto t2 = (rotr (a, 2) ^ rotr (a, 13) ^ rotr (a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }

        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }

    std::uint64_t readLittleEndian64 (const std::uint8_t* bytes) noexcept
    {
        std::uint64_t value = 0;
        for (int i = 7; i >= 0; --i)
            value = (value << 8) | bytes[i];
        return value;
    }
} // namespace

std::array<std::uint8_t, 32> sha256 (const std::uint8_t* bytes, std::size_t numBytes) noexcept
{
    std::uint32_t state[8] = { 0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                               0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19 };

    std::size_t offset = 0;
    for (; offset + 64 <= numBytes; offset += 64)
        compressBlock (state, bytes + offset);

    // The tail, the 0x80 marker, zero padding and the message length in bits (big-endian).
    std::uint8_t tail[128] = {};
    const auto remaining = numBytes - offset;
    for (std::size_t i = 0; i < remaining; ++i)
        tail[i] = bytes[offset + i];
    tail[remaining] = 0x80;

    const std::size_t tailLength = remaining + 9 <= 64 ? 64 : 128;
    const std::uint64_t bitLength = (std::uint64_t) numBytes * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailLength - 1 - (std::size_t) i] = (std::uint8_t) (bitLength >> (8 * i));

    for (std::size_t block = 0; block < tailLength; block += 64)
        compressBlock (state, tail + block);

    std::array<std::uint8_t, 32> digest {};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            digest[(std::size_t) (4 * i + j)] = (std::uint8_t) (state[i] >> (24 - 8 * j));
    return digest;
}

std::vector<double> ShaRandom::Generate (std::int64_t seed, int count)
{
    if (count <= 0)
        return {};

    std::vector<std::uint8_t> bytes;
    bytes.reserve ((std::size_t) (count / 8 + 1) * 32);

    auto m = (std::uint64_t) seed;
    for (int round = 0; round <= count / 8; ++round)
    {
        std::uint8_t message[8];
        for (int i = 0; i < 8; ++i)
            message[i] = (std::uint8_t) (m >> (8 * i));

        const auto digest = sha256 (message, sizeof (message));
        bytes.insert (bytes.end(), digest.begin(), digest.end());
        m = readLittleEndian64 (digest.data());
    }

    std::vector<double> values ((std::size_t) count);
    for (std::size_t j = 0; j < values.size(); ++j)
    {
        const auto* b = bytes.data() + 4 * j;
        const auto word =
            (std::uint32_t) b[0] | (std::uint32_t) b[1] << 8 | (std::uint32_t) b[2] << 16 | (std::uint32_t) b[3] << 24;
        values[j] = (double) word / 4294967295.0;
    }
    return values;
}

std::vector<double> ShaRandom::Generate (std::int64_t seed, int count, double crossSeed)
{
    auto values = Generate (seed, count);
    const auto complement = Generate (~seed, count);

    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = values[i] * (1.0 - crossSeed) + complement[i] * crossSeed;
    return values;
}
} // namespace AudioLib
