// Exact fractions for the exact search: numerator and denominator in 128-bit
// integers, always in lowest terms with a positive denominator. Every
// operation checks for overflow and throws std::overflow_error rather than
// wrap. For the hands the solver takes (floats from 0 to 13, three steps)
// numerators and denominators stay below 2^112, far from the limit.
#pragma once

#include <optional>
#include <string>

namespace modQuaddle {

class Rational
{
public:
    using Int = __int128;

    Rational() = default;
    Rational(long long whole)
        : m_num(whole)
    {}

    // The exact value of a float; throws std::domain_error for inf and NaN.
    static Rational fromFloat(float value);

    Rational operator+(const Rational &other) const;
    Rational operator-(const Rational &other) const;
    Rational operator*(const Rational &other) const;
    // Nothing for a division by zero.
    std::optional<Rational> dividedBy(const Rational &other) const;

    friend bool operator==(const Rational &, const Rational &) = default;

    std::string toString() const; // "p/q", or "p" for a whole number

private:
    Rational(Int num, Int den);

    Int m_num = 0;
    Int m_den = 1;
};

} // namespace modQuaddle
