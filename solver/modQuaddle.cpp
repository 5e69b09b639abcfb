// The solver: the arithmetic step, the search over all 7,680 candidates and the
// writing of a solution as text with the brackets that precedence needs.
#include "modQuaddle.h"

#include "lanes.h"
#include "operators.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace modQuaddle {

std::array<float, 5> Num{};

std::string strResult1;
std::string strResult2;
std::string strResult3;
std::string strResult4;
std::string strResult5;

namespace {

using detail::Lanes;
using detail::splat;

// One step on single values; a division by zero gives detail::failedStep.
float step(float a, float b, int op)
{
    return applyOperator(a, b, op,
                         [](float x, float y) { return y == 0.0f ? detail::failedStep : x / y; });
}

// One step on four lanes with an operator known at compile time.
template <int Op> Lanes apply(Lanes x, Lanes y)
{
    if constexpr (Op == opAdd)
        return x + y;
    else if constexpr (Op == opSub)
        return x - y;
    else if constexpr (Op == opMul)
        return x * y;
    else
        return detail::divide(x, y);
}

// x op y for every operator: lane k holds the result for code k + 1.
Lanes applyAll(float x, float y)
{
    return Lanes{x + y, x - y, x * y, step(x, y, opDiv)};
}

// Calls f once per operator code, in search order, with the code as a
// compile-time constant, so each step in the loops is a single operation.
template <typename F> void forEachOperator(F &&f)
{
    f(std::integral_constant<int, opAdd>{});
    f(std::integral_constant<int, opSub>{});
    f(std::integral_constant<int, opMul>{});
    f(std::integral_constant<int, opDiv>{});
}

// An operator triple, and its place among the 64 triples in search order.
struct Triple {
    int o1, o2, o3;

    int order() const { return ((o1 - 1) * 4 + (o2 - 1)) * 4 + (o3 - 1); }
    static Triple fromOrder(int order)
    {
        return {order / 16 + 1, order / 4 % 4 + 1, order % 4 + 1};
    }
};

struct Candidate {
    std::array<int, 4> p; // positions in Num, in text order
    Triple ops;
};

bool isAdditive(int op)
{
    return op == opAdd || op == opSub;
}

enum class Side { Left, Right };

// Whether a group whose last operator is `own`, standing on `side` of `parent`,
// needs brackets to keep its value when read with the usual precedence.
bool needsBrackets(int own, int parent, Side side)
{
    if (side == Side::Left)
        return isAdditive(own) && (parent == opMul || parent == opDiv);
    return parent == opDiv || ((parent == opMul || parent == opSub) && isAdditive(own));
}

std::string bracketed(const std::string &text, bool brackets)
{
    return brackets ? "(" + text + ")" : text;
}

std::string formatSolution(int shape, const std::array<int, 4> &p, Triple ops,
                           const NumberTexts &texts)
{
    const auto [o1, o2, o3] = ops;
    const std::string &a = texts.at(static_cast<std::size_t>(p[0]));
    const std::string &b = texts.at(static_cast<std::size_t>(p[1]));
    const std::string &c = texts.at(static_cast<std::size_t>(p[2]));
    const std::string &d = texts.at(static_cast<std::size_t>(p[3]));
    const std::string s1 = OpSymbol(o1);
    const std::string s2 = OpSymbol(o2);
    const std::string s3 = OpSymbol(o3);
    using enum Side;

    switch (shape) {
    case 1: // ((a o1 b) o2 c) o3 d
        return bracketed(bracketed(a + s1 + b, needsBrackets(o1, o2, Left)) + s2 + c,
                         needsBrackets(o2, o3, Left)) +
               s3 + d;
    case 2: // (a o1 b) o2 (c o3 d)
        return bracketed(a + s1 + b, needsBrackets(o1, o2, Left)) + s2 +
               bracketed(c + s3 + d, needsBrackets(o3, o2, Right));
    case 3: // a o1 ((b o2 c) o3 d)
        return a + s1 +
               bracketed(bracketed(b + s2 + c, needsBrackets(o2, o3, Left)) + s3 + d,
                         needsBrackets(o3, o1, Right));
    case 4: // a o1 (b o2 (c o3 d))
        return a + s1 +
               bracketed(b + s2 + bracketed(c + s3 + d, needsBrackets(o3, o2, Right)),
                         needsBrackets(o2, o1, Right));
    case 5: // (a o1 (b o2 c)) o3 d
        return bracketed(a + s1 + bracketed(b + s2 + c, needsBrackets(o2, o1, Right)),
                         needsBrackets(o1, o3, Left)) +
               s3 + d;
    default:
        throw std::out_of_range("bracket shape out of range");
    }
}

} // namespace

std::string &resultSlot(int shape)
{
    static const std::array<std::string *, shapeCount> slots{&strResult1, &strResult2, &strResult3,
                                                             &strResult4, &strResult5};
    return *slots.at(static_cast<std::size_t>(shape - 1));
}

void clearResults()
{
    for (int shape = 1; shape <= shapeCount; ++shape)
        resultSlot(shape).clear();
}

bool ApplyOp(float a, float b, int op, float &result)
{
    if (op < opAdd || op > opDiv || (op == opDiv && b == 0.0f))
        return false;
    result = step(a, b, op);
    return true;
}

std::string OpSymbol(int op)
{
    switch (op) {
    case opAdd:
        return "+";
    case opSub:
        return "-";
    case opMul:
        return "*";
    case opDiv:
        return "/";
    default:
        return {};
    }
}

void FindSolutions()
{
    // Each slot ends with the solution of its shape that comes last in the
    // search order, so it is enough to remember that candidate and write its
    // text once at the end.
    std::array<std::optional<Candidate>, shapeCount> last;

    // Orderings in lexicographic order, (1,2,3,4) to (4,3,2,1). Within one
    // ordering every value is computed for four operator codes at once; the
    // operator that varies across the lanes is chosen per shape so that every
    // step is one operation on lanes: o1 for shapes 1, 2 and 5, o3 for shapes 3
    // and 4. Each shared part is computed once, where its operands are known.
    std::array<int, 4> p{1, 2, 3, 4};
    do {
        const float a = Num[p[0]];
        const float b = Num[p[1]];
        const float c = Num[p[2]];
        const float d = Num[p[3]];

        // Shapes 3 and 4 have their lanes over o3, the others over o1.
        constexpr std::array<bool, shapeCount> lanesOverO3{false, false, true, true, false};
        // The latest operator triple of this ordering with a hit, per shape.
        std::array<int, shapeCount> latest;
        latest.fill(-1);
        const Lanes ab = applyAll(a, b); // a o1 b, over o1
        const Lanes cd = applyAll(c, d); // c o3 d, over o3
        forEachOperator([&](auto o2) {
            const float bc = step(b, c, o2);
            const Lanes ab_c = apply<o2>(ab, splat(c)); // (a o1 b) o2 c, over o1
            const Lanes a_bc = applyAll(a, bc);         // a o1 (b o2 c), over o1
            const Lanes bc_d = applyAll(bc, d);         // (b o2 c) o3 d, over o3
            const Lanes b_cd = apply<o2>(splat(b), cd); // b o2 (c o3 d), over o3

            // `op` is o3 where the lanes run over o1, and o1 where they run over o3.
            forEachOperator([&](auto op) {
                const std::array<Lanes, shapeCount> value{
                    apply<op>(ab_c, splat(d)),        // ((a o1 b) o2 c) o3 d, over o1
                    apply<o2>(ab, splat(cd[op - 1])), // (a o1 b) o2 (c o3 d), over o1
                    apply<op>(splat(a), bc_d),        // a o1 ((b o2 c) o3 d), over o3
                    apply<op>(splat(a), b_cd),        // a o1 (b o2 (c o3 d)), over o3
                    apply<op>(a_bc, splat(d)),        // (a o1 (b o2 c)) o3 d, over o1
                };
                if (!detail::anyTarget(value))
                    return;
                for (std::size_t shape = 0; shape < value.size(); ++shape) {
                    const unsigned lanes = detail::targetLanes(value[shape]);
                    if (lanes == 0)
                        continue;
                    // The highest lane is the latest operator code of that lane's loop.
                    const int code = static_cast<int>(std::bit_width(lanes));
                    const Triple hit =
                        lanesOverO3[shape] ? Triple{op, o2, code} : Triple{code, o2, op};
                    latest[shape] = std::max(latest[shape], hit.order());
                }
            });
        });

        for (std::size_t shape = 0; shape < latest.size(); ++shape) {
            if (latest[shape] >= 0)
                last[shape] = Candidate{p, Triple::fromOrder(latest[shape])};
        }
    } while (std::next_permutation(p.begin(), p.end()));

    if (std::none_of(last.begin(), last.end(), [](const auto &hit) { return hit.has_value(); }))
        return;
    const NumberTexts texts = StoredNumberTexts();
    for (int shape = 1; shape <= shapeCount; ++shape) {
        if (const auto &hit = last[static_cast<std::size_t>(shape - 1)])
            resultSlot(shape) = formatSolution(shape, hit->p, hit->ops, texts);
    }
}

NumberTexts StoredNumberTexts()
{
    NumberTexts texts;
    for (std::size_t k = 0; k < Num.size(); ++k)
        texts[k] = NumberText(Num[k]);
    return texts;
}

std::string FormatSolution(int shape, const std::array<int, 4> &p, int o1, int o2, int o3,
                           const NumberTexts &texts)
{
    return formatSolution(shape, p, Triple{o1, o2, o3}, texts);
}

std::string FormatSolution(int shape, int p1, int p2, int p3, int p4, int o1, int o2, int o3)
{
    const std::array<int, 4> p{p1, p2, p3, p4};
    NumberTexts texts;
    for (const int position : p)
        texts[static_cast<std::size_t>(position)] =
            NumberText(Num.at(static_cast<std::size_t>(position)));
    return formatSolution(shape, p, Triple{o1, o2, o3}, texts);
}

std::string NumberText(float value)
{
    if (value == 0.0f)
        return "0"; // also for -0.0
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    // Whole numbers below ten million, every card value among them, are
    // already their own seven-digit text.
    if (std::fabs(value) < 1e7f && value == std::trunc(value)) {
        char digits[16];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, static_cast<long>(value)).ptr;
        return std::string(digits, end);
    }

    // Seven significant digits, correctly rounded and locale-independent:
    // "[-]d.dddddde[+-]x"; then rewritten in plain decimal notation.
    char buffer[32];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 6);
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t ePos = scientific.find('e');
    const bool negative = scientific.front() == '-';

    std::string digits;
    for (const char ch : scientific.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0))) {
        if (ch != '.')
            digits += ch;
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    int exponent = 0;
    const std::string_view expText = scientific.substr(ePos + 1);
    std::from_chars(expText.data() + (expText.front() == '+' ? 1 : 0),
                    expText.data() + expText.size(), exponent);

    std::string text = negative ? "-" : "";
    if (exponent < 0) {
        text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            text += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
        }
    }
    return text;
}

} // namespace modQuaddle
