// Narrowing and widening of the 6-byte real format.
#include "engine/Real48.h"

#include <cmath>

namespace engine {

Real48 Real48::FromExtended(Extended v)
{
    Real48 r;
    if (std::isnan(v) || std::isinf(v))
        throw FloatingPointOverflow();
    if (v == 0.0L)
        return r;
    const bool negative = std::signbit(v);
    int k = 0;
    const Extended m = std::frexp(std::fabs(v), &k); // v = m * 2^k, 0.5 <= m < 1
    // 40 significant bits: m * 2^40 lies in [2^39, 2^40); the scaling is exact.
    Extended scaled = std::round(std::ldexp(m, 40)); // ties away from zero
    if (scaled >= 0x1p40L) {
        scaled = 0x1p39L;
        ++k;
    }
    // value = (scaled / 2^39) * 2^(k-1) and the stored exponent is (k-1) + 129
    const int e = k + 128;
    if (e <= 0)
        return r; // underflow stores 0
    if (e > 255)
        throw FloatingPointOverflow();
    const std::uint64_t f = static_cast<std::uint64_t>(scaled) - (std::uint64_t{1} << 39);
    r.bytes_[0] = static_cast<std::uint8_t>(e);
    for (int i = 0; i < 5; ++i)
        r.bytes_[1 + i] = static_cast<std::uint8_t>(f >> (8 * i));
    if (negative)
        r.bytes_[5] |= 0x80;
    return r;
}

Real48 Real48::FromBytes(const std::array<std::uint8_t, 6>& b)
{
    Real48 r;
    r.bytes_ = b;
    return r;
}

Extended Real48::ToExtended() const
{
    const int e = bytes_[0];
    if (e == 0)
        return 0.0L;
    std::uint64_t f = 0;
    for (int i = 0; i < 5; ++i)
        f |= static_cast<std::uint64_t>(bytes_[1 + i]) << (8 * i);
    f &= (std::uint64_t{1} << 39) - 1;
    const Extended mag = std::ldexp(static_cast<Extended>((std::uint64_t{1} << 39) | f), e - 129 - 39);
    return (bytes_[5] & 0x80) ? -mag : mag;
}

} // namespace engine
