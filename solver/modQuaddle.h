// The solver: the operand store, the result slots, the arithmetic step and the
// exhaustive search for 24. Standard library only, so that the windowed program,
// the command-line tool, the tests and the benchmarks all share one search.
#pragma once

#include <array>
#include <string>

namespace modQuaddle {

// Operator codes, in the order the search tries them.
inline constexpr int opAdd = 1;
inline constexpr int opSub = 2;
inline constexpr int opMul = 3;
inline constexpr int opDiv = 4;

// Number of bracket shapes; shape k fills strResultk.
inline constexpr int shapeCount = 5;

// The operand store. Elements 1 to 4 hold the four numbers of the hand;
// element 0 has no role. All 0.0 at start, never reset.
extern std::array<float, 5> Num;

// One slot per bracket shape, each holding the last solution of its shape that
// the latest search found (UTF-8; only ASCII in practice).
extern std::string strResult1;
extern std::string strResult2;
extern std::string strResult3;
extern std::string strResult4;
extern std::string strResult5;

// The slot of a bracket shape, 1 to 5: strResult1 to strResult5. Throws
// std::out_of_range for any other shape.
std::string &resultSlot(int shape);

// Empties all five slots, as the Calculate command does before each search.
void clearResults();

// One arithmetic step, rounded once to single precision. Returns false, leaving
// `result` untouched, for a division by (plus or minus) zero or an unknown code.
// Overflow and invalid operations are not errors: their IEEE result is stored.
bool ApplyOp(float a, float b, int op, float &result);

// "+", "-", "*" or "/" for codes 1 to 4, the empty text otherwise.
std::string OpSymbol(int op);

// Tries all 7,680 candidates on Num[1..4] and writes, for every shape that has
// a solution, the text of its last solution into that shape's slot. Slots of
// shapes without a solution are left as they were.
void FindSolutions();

// The text of one solution: the numbers at positions p1..p4 of Num with the
// operators o1..o3 between them and exactly the brackets precedence needs.
// Throws std::out_of_range for a shape outside 1..5 or a position outside 0..4.
std::string FormatSolution(int shape, int p1, int p2, int p3, int p4, int o1, int o2, int o3);

// A text for each position of Num (0 to 4), as FormatSolution writes them.
using NumberTexts = std::array<std::string, 5>;

// The texts of the stored numbers: NumberText of each element of Num.
NumberTexts StoredNumberTexts();

// FormatSolution with the numbers at positions p written as `texts` gives them.
std::string FormatSolution(int shape, const std::array<int, 4> &p, int o1, int o2, int o3,
                           const NumberTexts &texts);

// The text of one stored number: at most seven significant digits in plain
// decimal notation, '.' as the decimal point whatever the locale, no trailing
// zeros. Exposed for the windows and tools that echo a hand back.
std::string NumberText(float value);

} // namespace modQuaddle
