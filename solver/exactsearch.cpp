// The search in exact rational arithmetic.
#include "exactsearch.h"

#include "genericsearch.h"
#include "operators.h"
#include "rational.h"

namespace modQuaddle {

namespace {

struct ExactArithmetic {
    using Value = Rational;

    Value operand(float number) const { return Rational::fromFloat(number); }
    std::optional<Value> apply(const Value &a, const Value &b, int op) const
    {
        return applyOperator(a, b, op,
                             [](const Value &x, const Value &y) { return x.dividedBy(y); });
    }
    bool isTarget(const Value &value) const { return value == Rational(24); }
};

} // namespace

void FindSolutionsExact()
{
    FindSolutionsIn(ExactArithmetic{});
}

} // namespace modQuaddle
