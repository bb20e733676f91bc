// The 6-byte real format in which a window stores its region (40 significant bits).
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>

#include "engine/Triple.h"

namespace engine {

// Raised when a value is too large for the 6-byte format.
class FloatingPointOverflow : public std::runtime_error {
public:
    FloatingPointOverflow() : std::runtime_error("Floating point overflow") {}
};

class Real48 {
public:
    Real48() = default;

    // Narrows to 40 bits, rounding to nearest with ties away from zero.
    // Too small: 0. Too large, infinite or NaN: FloatingPointOverflow.
    static Real48 FromExtended(Extended v);
    static Real48 FromBytes(const std::array<std::uint8_t, 6>& b);

    Extended ToExtended() const;
    operator Extended() const { return ToExtended(); }

    const std::array<std::uint8_t, 6>& Bytes() const { return bytes_; }
    bool operator==(const Real48&) const = default;

private:
    std::array<std::uint8_t, 6> bytes_{};
};

// Rounds v through the 6-byte format (the value a region field would hold).
inline Extended Narrow(Extended v) { return Real48::FromExtended(v).ToExtended(); }

} // namespace engine
