#include "NodeId.h"

#include <sys/random.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace plenvo {

namespace {

// xoshiro256** (Blackman and Vigna), a small fast generator with a 2^256 - 1 period.
class Xoshiro256 {
public:
    Xoshiro256()
    {
        std::uint64_t seed[4] = {};
        std::size_t filled = 0;
        while (filled < sizeof seed) {
            ssize_t n = getrandom(reinterpret_cast<char*>(seed) + filled, sizeof seed - filled, 0);
            if (n <= 0)
                break;
            filled += static_cast<std::size_t>(n);
        }
        if (filled < sizeof seed) {
            // No entropy source: mix the clock and the thread identity so that threads and
            // runs still differ. Ids only need to be unique, not secret.
            std::uint64_t x = static_cast<std::uint64_t>(
                std::chrono::high_resolution_clock::now().time_since_epoch().count());
            x ^= std::hash<std::thread::id>{}(std::this_thread::get_id());
            for (auto& word : seed)
                word = splitMix(x);
        }
        std::memcpy(m_s, seed, sizeof m_s);
        if ((m_s[0] | m_s[1] | m_s[2] | m_s[3]) == 0)
            m_s[0] = 1;
    }

    std::uint64_t next()
    {
        const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const std::uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    static std::uint64_t splitMix(std::uint64_t& x)
    {
        std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    std::uint64_t m_s[4];
};

} // namespace

NodeId NodeId::generate()
{
    thread_local Xoshiro256 generator;
    std::uint64_t high = generator.next();
    std::uint64_t low = generator.next();
    high = (high & ~0xF000ull) | 0x4000ull;         // version 4
    low = (low & ~(0x3ull << 62)) | (0x2ull << 62); // RFC 4122 variant
    return NodeId(high, low);
}

QUuid NodeId::toUuid() const
{
    uchar bytes[16];
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<uchar>(m_high >> (56 - 8 * i));
        bytes[8 + i] = static_cast<uchar>(m_low >> (56 - 8 * i));
    }
    return QUuid::fromRfc4122(QByteArrayView(bytes, 16));
}

QString NodeId::toString() const
{
    return toUuid().toString(QUuid::WithoutBraces);
}

} // namespace plenvo
