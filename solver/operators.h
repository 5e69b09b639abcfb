// The four operators on any arithmetic type, so that the single-precision
// search and the exact one share one definition of what each code does.
#pragma once

#include "modQuaddle.h"

#include <type_traits>

namespace modQuaddle {

// a op b. Division goes through `divide`, which decides what a division by
// zero gives; its result type is the result type of the whole step.
template <typename Value, typename Divide>
auto applyOperator(const Value &a, const Value &b, int op, Divide &&divide)
    -> std::invoke_result_t<Divide, const Value &, const Value &>
{
    switch (op) {
    case opAdd:
        return a + b;
    case opSub:
        return a - b;
    case opMul:
        return a * b;
    default:
        return divide(a, b);
    }
}

} // namespace modQuaddle
