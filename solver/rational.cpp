// Exact fractions with checked 128-bit arithmetic.
#include "rational.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace modQuaddle {

namespace {

using Int = Rational::Int;

Int checkedMul(Int a, Int b)
{
    Int product;
    if (__builtin_mul_overflow(a, b, &product))
        throw std::overflow_error("exact arithmetic overflowed");
    return product;
}

Int checkedAdd(Int a, Int b)
{
    Int sum;
    if (__builtin_add_overflow(a, b, &sum))
        throw std::overflow_error("exact arithmetic overflowed");
    return sum;
}

Int gcd(Int a, Int b)
{
    a = a < 0 ? -a : a;
    while (b != 0) {
        const Int rest = a % b;
        a = b;
        b = rest;
    }
    return a < 0 ? -a : a;
}

} // namespace

Rational::Rational(Int num, Int den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const Int divisor = gcd(num, den);
    m_num = divisor > 1 ? num / divisor : num;
    m_den = divisor > 1 ? den / divisor : den;
}

Rational Rational::fromFloat(float value)
{
    if (!std::isfinite(value))
        throw std::domain_error("not a finite number");
    // value = mantissa * 2^exponent with a 24-bit whole mantissa.
    int exponent = 0;
    const float fraction = std::frexp(value, &exponent);
    const auto mantissa = static_cast<Int>(std::ldexp(fraction, 24));
    exponent -= 24;
    if (exponent >= 0)
        return Rational(checkedMul(mantissa, Int(1) << std::min(exponent, 100)), 1);
    if (exponent < -126)
        throw std::domain_error("too small for exact arithmetic");
    return Rational(mantissa, Int(1) << -exponent);
}

Rational Rational::operator+(const Rational &other) const
{
    return Rational(checkedAdd(checkedMul(m_num, other.m_den), checkedMul(other.m_num, m_den)),
                    checkedMul(m_den, other.m_den));
}

Rational Rational::operator-(const Rational &other) const
{
    return *this + Rational(-other.m_num, other.m_den);
}

Rational Rational::operator*(const Rational &other) const
{
    return Rational(checkedMul(m_num, other.m_num), checkedMul(m_den, other.m_den));
}

std::optional<Rational> Rational::dividedBy(const Rational &other) const
{
    if (other.m_num == 0)
        return std::nullopt;
    return Rational(checkedMul(m_num, other.m_den), checkedMul(m_den, other.m_num));
}

std::string Rational::toString() const
{
    const auto digits = [](Int value) {
        const bool negative = value < 0;
        std::string text;
        do {
            const int digit = static_cast<int>(value % 10);
            text.insert(text.begin(), static_cast<char>('0' + (digit < 0 ? -digit : digit)));
            value /= 10;
        } while (value != 0);
        return negative ? "-" + text : text;
    };
    return m_den == 1 ? digits(m_num) : digits(m_num) + "/" + digits(m_den);
}

} // namespace modQuaddle
