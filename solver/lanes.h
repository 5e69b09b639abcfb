// Four single-precision values worked on together: the search evaluates one
// step for all four operator codes of one loop at once. GCC and Clang get a
// native vector type; other compilers, or QUADDLE_PORTABLE_LANES, a plain array.
// Both give the same results: every lane is one correctly rounded operation.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <limits>

namespace modQuaddle::detail {

inline constexpr int laneCount = 4;

// The value of a failed step. NaN is carried on by every later step and never
// equals 24, so a candidate with a division by zero can never be a solution.
inline constexpr float failedStep = std::numeric_limits<float>::quiet_NaN();

// 24.0 as a 32-bit float; a candidate hits only on this exact bit pattern.
inline constexpr std::uint32_t targetBits = 0x41C00000;
static_assert(std::bit_cast<std::uint32_t>(24.0f) == targetBits);

#if (defined(__GNUC__) || defined(__clang__)) && !defined(QUADDLE_PORTABLE_LANES)

using Lanes = float __attribute__((vector_size(16)));
using LaneBits = std::uint32_t __attribute__((vector_size(16)));

inline Lanes splat(float x)
{
    return Lanes{x, x, x, x};
}

// x / y, with failedStep where y is zero. The zero lanes are divided by 1
// and replaced afterwards, so there is no branch and no division by zero.
inline Lanes divide(Lanes x, Lanes y)
{
    const auto zero = y == 0.0f;
    const Lanes quotient = x / (zero ? splat(1.0f) : y);
    return zero ? splat(failedStep) : quotient;
}

// Whether any lane of any of the values is exactly 24. Almost every value
// misses, so the search tests a whole batch before looking at single lanes.
template <std::size_t N> bool anyTarget(const std::array<Lanes, N> &values)
{
    LaneBits hit{};
    for (const Lanes &value : values)
        hit |= std::bit_cast<LaneBits>(value) == targetBits;
    const auto halves = std::bit_cast<std::array<std::uint64_t, 2>>(hit);
    return (halves[0] | halves[1]) != 0;
}

// Bit i set where lane i is exactly 24.
inline unsigned targetLanes(Lanes value)
{
    const auto hit = std::bit_cast<LaneBits>(value) == targetBits;
    unsigned lanes = 0;
    for (int i = 0; i < laneCount; ++i)
        lanes |= static_cast<unsigned>(hit[i] & 1) << i;
    return lanes;
}

#else

struct Lanes {
    std::array<float, laneCount> v;

    float operator[](int i) const { return v[static_cast<std::size_t>(i)]; }

    template <typename Op> friend Lanes zip(Lanes x, Lanes y, Op op)
    {
        Lanes r;
        for (std::size_t i = 0; i < r.v.size(); ++i)
            r.v[i] = op(x.v[i], y.v[i]);
        return r;
    }
    friend Lanes operator+(Lanes x, Lanes y)
    {
        return zip(x, y, [](float a, float b) { return a + b; });
    }
    friend Lanes operator-(Lanes x, Lanes y)
    {
        return zip(x, y, [](float a, float b) { return a - b; });
    }
    friend Lanes operator*(Lanes x, Lanes y)
    {
        return zip(x, y, [](float a, float b) { return a * b; });
    }
};

inline Lanes splat(float x)
{
    return Lanes{{x, x, x, x}};
}

inline Lanes divide(Lanes x, Lanes y)
{
    return zip(x, y, [](float a, float b) { return b == 0.0f ? failedStep : a / b; });
}

inline unsigned targetLanes(Lanes value)
{
    unsigned lanes = 0;
    for (int i = 0; i < laneCount; ++i)
        lanes |= static_cast<unsigned>(std::bit_cast<std::uint32_t>(value[i]) == targetBits) << i;
    return lanes;
}

template <std::size_t N> bool anyTarget(const std::array<Lanes, N> &values)
{
    for (const Lanes &value : values) {
        if (targetLanes(value) != 0)
            return true;
    }
    return false;
}

#endif

} // namespace modQuaddle::detail
