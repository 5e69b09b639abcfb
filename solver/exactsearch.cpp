// The search in exact rational arithmetic: first with 64-bit fractions that
// are never reduced, which is all whole-number hands need and several times
// quicker, then, should those overflow, again with reduced 128-bit ones.
#include "exactsearch.h"

#include "genericsearch.h"
#include "operators.h"

#include <cstdint>
#include <limits>

namespace modQuaddle {

namespace {

// num/den with den > 0, not in lowest terms: equality is by cross products.
struct QuickFraction {
    using Int = std::int64_t;
    Int num = 0;
    Int den = 1;

    QuickFraction operator+(const QuickFraction &o) const
    {
        return {checked::add(checked::mul(num, o.den), checked::mul(o.num, den)),
                checked::mul(den, o.den)};
    }
    QuickFraction operator-(const QuickFraction &o) const
    {
        return *this + QuickFraction{checked::negate(o.num), o.den};
    }
    QuickFraction operator*(const QuickFraction &o) const
    {
        return {checked::mul(num, o.num), checked::mul(den, o.den)};
    }
    std::optional<QuickFraction> dividedBy(const QuickFraction &o) const
    {
        if (o.num == 0)
            return std::nullopt;
        QuickFraction quotient{checked::mul(num, o.den), checked::mul(den, o.num)};
        if (quotient.den < 0)
            quotient = {checked::negate(quotient.num), checked::negate(quotient.den)};
        return quotient;
    }
    bool equals(const QuickFraction &o) const
    {
        return checked::mul(num, o.den) == checked::mul(o.num, den);
    }

    static QuickFraction from(const Rational &value)
    {
        constexpr auto low = std::numeric_limits<Int>::min();
        constexpr auto high = std::numeric_limits<Int>::max();
        if (value.numerator() < low || value.numerator() > high || value.denominator() > high)
            checked::overflow();
        return {static_cast<Int>(value.numerator()), static_cast<Int>(value.denominator())};
    }
};

template <typename Fraction> struct ExactArithmetic {
    using Value = Fraction;

    std::array<Value, 5> operands; // by position, 1 to 4
    Value target;

    Value operand(int position) const { return operands.at(static_cast<std::size_t>(position)); }
    std::optional<Value> apply(const Value &a, const Value &b, int op) const
    {
        return applyOperator(a, b, op,
                             [](const Value &x, const Value &y) { return x.dividedBy(y); });
    }
    bool isTarget(const Value &value) const { return equal(value, target); }
    bool sameOperand(int position, int other) const
    {
        return equal(operand(position), operand(other));
    }
    static bool equal(const Value &a, const Value &b)
    {
        if constexpr (std::is_same_v<Value, QuickFraction>)
            return a.equals(b);
        else
            return a == b;
    }
};

// The quick path with every step inlined into the search: it is the inner
// loop of --all --exact, and a call for each step would cost half its time.
[[gnu::flatten]] void findQuickly(const ExactArithmetic<QuickFraction> &arithmetic,
                                  const NumberTexts &texts)
{
    FindSolutionsIn(arithmetic, texts);
}

} // namespace

void FindSolutionsExact(const ExactHand &hand, const Rational &target)
{
    NumberTexts texts;
    for (std::size_t k = 0; k < 4; ++k)
        texts[k + 1] = hand.texts[k];

    // The slots are only written at the end of a search, so a search given
    // up on overflow leaves them as they were for the second one.
    try {
        ExactArithmetic<QuickFraction> quick{{}, QuickFraction::from(target)};
        for (std::size_t k = 0; k < 4; ++k)
            quick.operands[k + 1] = QuickFraction::from(hand.values[k]);
        findQuickly(quick, texts);
        return;
    } catch (const std::overflow_error &) {
    }
    ExactArithmetic<Rational> wide{{}, target};
    for (std::size_t k = 0; k < 4; ++k)
        wide.operands[k + 1] = hand.values[k];
    FindSolutionsIn(wide, texts);
}

void FindSolutionsExact()
{
    ExactHand hand;
    const NumberTexts texts = StoredNumberTexts();
    for (std::size_t k = 0; k < 4; ++k) {
        hand.values[k] = Rational::fromFloat(Num[k + 1]);
        hand.texts[k] = texts[k + 1];
    }
    FindSolutionsExact(hand);
}

} // namespace modQuaddle
