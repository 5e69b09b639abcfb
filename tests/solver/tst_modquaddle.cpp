// Tests of the solver: the arithmetic step, operator symbols, solution texts
// and the search, checked against a plain reference search and exact arithmetic.
#include "exactexpression.h"
#include "exactsearch.h"
#include "genericsearch.h"
#include "hands.h"
#include "modQuaddle.h"
#include "printers.h"
#include "rational.h"

#include <doctest/doctest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace modQuaddle;

namespace {

using Texts = std::vector<std::string>;

// The operand store and the result slots are module state: each case starts
// from an empty store and empty slots, whatever the case before it left.
void resetModule()
{
    Num.fill(0.0f);
    clearResults();
}

struct ModuleState {
    ModuleState() { resetModule(); }
};

void setHand(const Hand &hand)
{
    for (std::size_t k = 0; k < 4; ++k)
        Num[k + 1] = hand[k];
}

Texts slotTexts()
{
    Texts texts;
    for (int shape = 1; shape <= shapeCount; ++shape)
        texts.push_back(resultSlot(shape));
    return texts;
}

std::string handText(const Hand &hand)
{
    std::string text;
    for (const float number : hand) {
        if (!text.empty())
            text += ' ';
        text += NumberText(number);
    }
    return text;
}

std::uint32_t bitsOf(float value)
{
    return std::bit_cast<std::uint32_t>(value);
}

// The search as written out plainly: every candidate through ApplyOp, every
// solution formatted and stored at once. The real search must leave the same slots.
void referenceSearch()
{
    for (int p1 = 1; p1 <= 4; ++p1)
        for (int p2 = 1; p2 <= 4; ++p2)
            for (int p3 = 1; p3 <= 4; ++p3)
                for (int p4 = 1; p4 <= 4; ++p4) {
                    if (p2 == p1 || p3 == p1 || p3 == p2 || p4 == p1 || p4 == p2 || p4 == p3)
                        continue;
                    const float a = Num[p1], b = Num[p2], c = Num[p3], d = Num[p4];
                    for (int o1 = 1; o1 <= 4; ++o1)
                        for (int o2 = 1; o2 <= 4; ++o2)
                            for (int o3 = 1; o3 <= 4; ++o3) {
                                float r1 = 0, r2 = 0, r3[6] = {};
                                bool ok[6] = {};
                                ok[1] = ApplyOp(a, b, o1, r1) && ApplyOp(r1, c, o2, r2) &&
                                        ApplyOp(r2, d, o3, r3[1]);
                                ok[2] = ApplyOp(a, b, o1, r1) && ApplyOp(c, d, o3, r2) &&
                                        ApplyOp(r1, r2, o2, r3[2]);
                                ok[3] = ApplyOp(b, c, o2, r1) && ApplyOp(r1, d, o3, r2) &&
                                        ApplyOp(a, r2, o1, r3[3]);
                                ok[4] = ApplyOp(c, d, o3, r1) && ApplyOp(b, r1, o2, r2) &&
                                        ApplyOp(a, r2, o1, r3[4]);
                                ok[5] = ApplyOp(b, c, o2, r1) && ApplyOp(a, r1, o1, r2) &&
                                        ApplyOp(r2, d, o3, r3[5]);
                                for (int shape = 1; shape <= 5; ++shape) {
                                    if (ok[shape] && r3[shape] == 24.0f)
                                        resultSlot(shape) =
                                            FormatSolution(shape, p1, p2, p3, p4, o1, o2, o3);
                                }
                            }
                }
}

// All 1,820 hands of four whole numbers 1..13, order ignored.
const std::vector<Hand> &everyHand()
{
    static const std::vector<Hand> hands = allHands();
    return hands;
}

const std::string untouched = "<untouched>";

} // namespace

TEST_CASE_FIXTURE(ModuleState, "ApplyOp rounds each step to single precision")
{
    struct Row {
        std::string name;
        float a, b;
        int op;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {"6*4 is exactly 24", 6.0f, 4.0f, opMul, 0x41C00000u},
        {"0/5", 0.0f, 5.0f, opDiv, bitsOf(0.0f)},
        {"8/3 rounds to single", 8.0f, 3.0f, opDiv, bitsOf(2.6666667f)},
        {"3-8/3", 3.0f, 2.6666667f, opSub, bitsOf(0.33333325f)},
        {"8/(3-8/3) misses 24", 8.0f, 0.33333325f, opDiv, 0x41C00003u},
        {"1/3", 1.0f, 3.0f, opDiv, bitsOf(0.33333334f)},
        {"1/3*3 is exactly 1", 0.33333334f, 3.0f, opMul, bitsOf(1.0f)},
        {"1/5", 1.0f, 5.0f, opDiv, bitsOf(0.2f)},
        {"5-1/5", 5.0f, 0.2f, opSub, bitsOf(4.8000002f)},
        {"(5-1/5)*5 rounds to 24", 4.8000002f, 5.0f, opMul, 0x41C00000u},
        {"overflow gives +inf", 1e30f, 1e30f, opMul,
         bitsOf(std::numeric_limits<float>::infinity())},
        {"add", 13.0f, 11.0f, opAdd, bitsOf(24.0f)},
        {"subtract below zero", 3.0f, 5.0f, opSub, bitsOf(-2.0f)},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        float result = 5.0f;
        CHECK(ApplyOp(row.a, row.b, row.op, result));
        CHECK(bitsOf(result) == row.bits);
    }
}

TEST_CASE_FIXTURE(ModuleState, "ApplyOp refuses division by zero and unknown codes")
{
    struct Row {
        std::string name;
        float a, b;
        int op;
    };
    const Row rows[] = {
        {"7/0", 7.0f, 0.0f, opDiv}, {"7/-0", 7.0f, -0.0f, opDiv}, {"0/0", 0.0f, 0.0f, opDiv},
        {"code 0", 7.0f, 2.0f, 0},  {"code 5", 7.0f, 2.0f, 5},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        float result = 5.0f;
        CHECK_FALSE(ApplyOp(row.a, row.b, row.op, result));
        CHECK(result == 5.0f);
    }
}

TEST_CASE_FIXTURE(ModuleState, "OpSymbol")
{
    struct Row {
        int op;
        std::string symbol;
    };
    const Row rows[] = {
        {0, ""}, {1, "+"}, {2, "-"}, {3, "*"}, {4, "/"}, {5, ""}, {-1, ""},
    };
    for (const Row &row : rows) {
        CAPTURE(row.op);
        CHECK(OpSymbol(row.op) == row.symbol);
    }
}

TEST_CASE_FIXTURE(ModuleState, "FormatSolution brackets each shape as needed")
{
    struct Row {
        std::string name;
        int shape;
        Hand numbers;
        std::string_view ops;
        std::string text;
    };
    const Hand n1234{1, 2, 3, 4};
    const Row rows[] = {
        {"1: (8-5)*9-3", 1, {8, 5, 9, 3}, "-*-", "(8-5)*9-3"},
        {"1: ++*", 1, n1234, "++*", "(1+2+3)*4"},
        {"1: +*+", 1, n1234, "+*+", "(1+2)*3+4"},
        {"1: no brackets", 1, n1234, "*+-", "1*2+3-4"},
        {"2: +*+", 2, n1234, "+*+", "(1+2)*(3+4)"},
        {"2: */ /", 2, {8, 3, 2, 2}, "*//", "8*3/(2/2)"},
        {"2: *--", 2, {6, 4, 3, 1}, "*--", "6*4-(3-1)"},
        {"2: *+-", 2, {6, 4, 3, 1}, "*+-", "6*4+3-1"},
        {"3: -/-", 3, {13, 2, 2, 12}, "-/-", "13-(2/2-12)"},
        {"3: //-", 3, {6, 5, 4, 1}, "//-", "6/(5/4-1)"},
        {"3: /+*", 3, n1234, "/+*", "1/((2+3)*4)"},
        {"3: *+*", 3, n1234, "*+*", "1*(2+3)*4"},
        {"3: +++", 3, n1234, "+++", "1+2+3+4"},
        {"4: --*", 4, {5, 8, 9, 3}, "--*", "5-(8-9*3)"},
        {"4: /-+", 4, n1234, "/-+", "1/(2-(3+4))"},
        {"4: -*-", 4, n1234, "-*-", "1-2*(3-4)"},
        {"4: */*", 4, n1234, "*/*", "1*2/(3*4)"},
        {"5: *--", 5, {9, 8, 5, 3}, "*--", "9*(8-5)-3"},
        {"5: --*", 5, n1234, "--*", "(1-(2-3))*4"},
        {"5: +*/", 5, n1234, "+*/", "(1+2*3)/4"},
        {"5: -+-", 5, n1234, "-+-", "1-(2+3)-4"},
        {"fractions", 1, {2.5f, 0.0f, 12.345678f, 1.1f}, "+*-", "(2.5+0)*12.34568-1.1"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        resetModule();
        // Place the numbers in reverse so that the positions, not the store's
        // order, decide which number stands where.
        for (std::size_t k = 0; k < 4; ++k)
            Num[4 - k] = row.numbers[k];
        const auto code = [&](std::size_t i) {
            return int(std::string_view("+-*/").find(row.ops[i])) + 1;
        };
        CHECK(FormatSolution(row.shape, 4, 3, 2, 1, code(0), code(1), code(2)) == row.text);
    }
}

TEST_CASE_FIXTURE(ModuleState, "NumberText")
{
    struct Row {
        std::string name;
        float value;
        std::string text;
    };
    const Row rows[] = {
        {"13", 13.0f, "13"},
        {"10", 10.0f, "10"},
        {"2.5", 2.5f, "2.5"},
        {"0", 0.0f, "0"},
        {"-0", -0.0f, "0"},
        {"1.1", 1.1f, "1.1"},
        {"12.345678", 12.345678f, "12.34568"},
        {"12.999999", 12.999999f, "13"},
        {"1/3", 1.0f / 3.0f, "0.3333333"},
        {"large stays plain", 123456789.0f, "123456800"},
        {"small stays plain", 0.00012f, "0.00012"},
        {"negative", -2.5f, "-2.5"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        CHECK(NumberText(row.value) == row.text);
    }
}

TEST_CASE_FIXTURE(ModuleState, "FindSolutions fills the slot of every shape that hits 24")
{
    struct Row {
        std::string name;
        Hand hand;
        Texts expected;
    };
    const std::string &u = untouched;
    const Row rows[] = {
        {"3 5 9 8", {3, 5, 9, 8}, {"(8-5)*9-3", "9*3-(8-5)", "5+9*3-8", "5-(8-9*3)", "9*(8-5)-3"}},
        {"1 1 1 1", {1, 1, 1, 1}, {u, u, u, u, u}},
        {"3 3 8 8 misses in single precision", {3, 3, 8, 8}, {u, u, u, u, u}},
        {"1 5 5 5 hits through rounding", {1, 5, 5, 5}, {u, u, u, "5*(5-1/5)", "(5-1/5)*5"}},
        {"1 4 5 6", {1, 4, 5, 6}, {u, u, "6/(5/4-1)", u, u}},
        {"3 3 7 7", {3, 3, 7, 7}, {"(3/7+3)*7", u, "7*(3/7+3)", "7*(3+3/7)", "(3+3/7)*7"}},
        {"0 4 6 1", {0, 4, 6, 1}, {"1*6*4-0", "1*6*(4-0)", "1*(6*4-0)", "1*6*(4-0)", "1*6*4-0"}},
        {"0 5 9 8", {0, 5, 9, 8}, {u, u, u, u, u}},
        {"2.5 2.5 4 1",
         {2.5f, 2.5f, 4, 1},
         {"(1+2.5+2.5)*4", u, "4*(1+2.5+2.5)", "4*(1+2.5+2.5)", "(1+2.5+2.5)*4"}},
        // Hands where a fused multiply-add (one rounding instead of two) flips a hit:
        // these rows fail if the compiler is ever allowed to contract the search.
        {"4.4 5.2 9.1 11.2, fused would miss",
         {4.4f, 5.2f, 9.1f, 11.2f},
         {"9.1/5.2*11.2+4.4", u, "4.4+9.1/5.2*11.2", "4.4+11.2*9.1/5.2", "11.2*9.1/5.2+4.4"}},
        {"2 3 9.7 10.2, fused would hit", {2, 3, 9.7f, 10.2f}, {u, u, u, u, u}},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        resetModule();
        setHand(row.hand);
        for (int run = 0; run < 2; ++run) {
            CAPTURE(run);
            for (int shape = 1; shape <= shapeCount; ++shape)
                resultSlot(shape) = untouched;
            FindSolutions();
            CHECK(slotTexts() == row.expected);
        }
    }
}

TEST_CASE_FIXTURE(ModuleState, "FindSolutions leaves the slots the reference search leaves")
{
    // Whole-number hands in every order the store can hold them, plus zeros and
    // fractions, which take other paths through division and rounding.
    std::vector<Hand> hands = everyHand();
    hands.insert(hands.end(), {{8, 3, 3, 8},
                               {5, 1, 5, 5},
                               {0, 0, 0, 0},
                               {0, 4, 6, 1},
                               {2.5f, 2.5f, 4, 1},
                               {1.1f, 12.345678f, 6.5f, 2},
                               {12, 12, 12, 12},
                               {4.4f, 5.2f, 9.1f, 11.2f},
                               {2, 3, 9.7f, 10.2f},
                               {2.4f, 3.2f, 7.2f, 10.5f}});
    for (const Hand &hand : hands) {
        resetModule();
        const std::string where = handText(hand);
        CAPTURE(where);
        setHand(hand);
        referenceSearch();
        const Texts expected = slotTexts();
        clearResults();
        FindSolutions();
        CHECK(slotTexts() == expected);
    }
}

namespace {

// Single precision through the generic search: must be FindSolutions exactly.
struct FloatArithmetic {
    using Value = float;
    Value operand(int position) const { return Num[static_cast<std::size_t>(position)]; }
    std::optional<Value> apply(Value a, Value b, int op) const
    {
        float result = 0;
        return ApplyOp(a, b, op, result) ? std::optional<Value>(result) : std::nullopt;
    }
    bool isTarget(Value value) const { return bitsOf(value) == 0x41C00000u; }
    bool sameOperand(int position, int other) const
    {
        return bitsOf(operand(position)) == bitsOf(operand(other));
    }
};

} // namespace

TEST_CASE_FIXTURE(ModuleState, "The generic search in single precision is FindSolutions")
{
    std::vector<Hand> hands = everyHand();
    hands.insert(hands.end(), {{4.4f, 5.2f, 9.1f, 11.2f}, {0, 4, 6, 1}});
    for (const Hand &hand : hands) {
        const std::string where = handText(hand);
        CAPTURE(where);
        resetModule();
        setHand(hand);
        FindSolutionsIn(FloatArithmetic{});
        const Texts generic = slotTexts();
        resetModule();
        setHand(hand);
        FindSolutions();
        CHECK(slotTexts() == generic);
    }
}

TEST_CASE_FIXTURE(ModuleState, "FindSolutionsExact works in exact fractions")
{
    struct Row {
        std::string name;
        Hand hand;
        Texts expected;
    };
    const Row rows[] = {
        {"3 3 8 8 found exactly", {3, 3, 8, 8}, {"", "", "", "8/(3-8/3)", ""}},
        {"3 5 9 8 as in single precision",
         {3, 5, 9, 8},
         {"(8-5)*9-3", "9*3-(8-5)", "5+9*3-8", "5-(8-9*3)", "9*(8-5)-3"}},
        {"1 1 1 1", {1, 1, 1, 1}, {"", "", "", "", ""}},
        // The float stored for 1.1 is not 11/10: times 10 it rounds to 11 in single
        // precision, but is not 11 exactly.
        {"stored 1.1 is not 11/10", {1.1f, 10, 13, 1}, {"", "", "", "", ""}},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        resetModule();
        setHand(row.hand);
        FindSolutionsExact();
        CHECK(slotTexts() == row.expected);
    }
}

TEST_CASE_FIXTURE(ModuleState, "Every solution of either search makes 24 exactly")
{
    // Single precision misses 3 3 8 8, whose one solution needs 8/3 exactly.
    struct Row {
        std::string name;
        void (*search)();
        int unsolvable;
    };
    const Row rows[] = {
        {"FindSolutions", FindSolutions, 459},
        {"FindSolutionsExact", FindSolutionsExact, 458},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        int unsolvable = 0;
        for (const Hand &hand : everyHand()) {
            resetModule();
            setHand(hand);
            row.search();
            bool solved = false;
            for (const std::string &text : slotTexts()) {
                if (text.empty())
                    continue;
                solved = true;
                CAPTURE(text);
                CHECK(exact::evaluate(text) == (exact::Fraction{24, 1}));
            }
            unsolvable += solved ? 0 : 1;
        }
        CHECK(unsolvable == row.unsolvable);
    }
}

TEST_CASE("Rational")
{
    CHECK(Rational::fromFloat(1.1f).toString() == "9227469/8388608");
    CHECK(Rational::fromFloat(12.5f).toString() == "25/2");
    CHECK(Rational::fromFloat(0.0f).toString() == "0");
    CHECK((Rational(8) - Rational(8).dividedBy(3).value()).toString() == "16/3");
    CHECK_FALSE(Rational(7).dividedBy(Rational(0)).has_value());
    CHECK_THROWS_AS(Rational::fromFloat(std::numeric_limits<float>::infinity()), std::domain_error);

    // Products of stored decimals grow quickly; past 127 bits they are
    // reported, never wrapped.
    Rational big = Rational::fromFloat(1.1f);
    CHECK_THROWS_AS(
        [&] {
            for (int i = 0; i < 10; ++i)
                big = big * big;
        }(),
        std::overflow_error);
}
