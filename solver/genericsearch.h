// The search with any arithmetic: the same candidates in the same order, the
// same slots and texts as FindSolutions, with the values computed by an
// Arithmetic of the caller's choice. It shares each partial value between
// the shapes that use it, but does not vectorise: FindSolutions stays the
// fast single-precision search.
//
// An Arithmetic provides
//   using Value = ...;
//   Value operand(int position) const;                    // the number at position 1 to 4
//   std::optional<Value> apply(const Value &, const Value &, int op) const;
//                                                         // nothing: the step fails
//   bool isTarget(const Value &) const;                   // equals the target
//   bool sameOperand(int position, int other) const;      // the two numbers are equal
// The solutions' texts write the numbers as `texts` gives them, by position.
#pragma once

#include "modQuaddle.h"

#include <algorithm>
#include <array>
#include <optional>

namespace modQuaddle {

template <typename Arithmetic>
void FindSolutionsIn(const Arithmetic &arithmetic, const NumberTexts &texts = StoredNumberTexts())
{
    using Value = typename Arithmetic::Value;
    using Maybe = std::optional<Value>;
    const auto apply = [&](const Maybe &a, const Maybe &b, int op) -> Maybe {
        if (!a || !b)
            return std::nullopt;
        return arithmetic.apply(*a, *b, op);
    };
    const auto hits = [&](const Maybe &value) {
        return value && arithmetic.isTarget(*value);
    };

    struct Hit {
        std::array<int, 4> p;
        int o1, o2, o3;
    };
    std::array<std::optional<Hit>, shapeCount> last;

    // Orderings that put equal numbers with equal texts in the same places
    // give the same candidates with the same texts, so only the last of them
    // can leave a slot's last solution: the others are skipped.
    std::array<int, 5> kind{0, 1, 2, 3, 4}; // the first position holding the same
    for (int i = 2; i <= 4; ++i) {
        for (int j = 1; j < i; ++j) {
            if (texts[std::size_t(i)] == texts[std::size_t(j)] && arithmetic.sameOperand(i, j)) {
                kind[std::size_t(i)] = kind[std::size_t(j)];
                break;
            }
        }
    }
    std::array<std::array<int, 4>, 24> orders;
    std::array<std::array<int, 4>, 24> kinds; // of the numbers each ordering puts in place
    std::array<int, 4> p{1, 2, 3, 4};
    for (std::size_t k = 0; k < orders.size(); ++k) {
        orders[k] = p;
        for (std::size_t place = 0; place < p.size(); ++place)
            kinds[k][place] = kind[std::size_t(p[place])];
        std::next_permutation(p.begin(), p.end());
    }

    for (std::size_t k = 0; k < orders.size(); ++k) {
        if (std::find(kinds.begin() + std::ptrdiff_t(k) + 1, kinds.end(), kinds[k]) != kinds.end())
            continue;
        p = orders[k];
        const Maybe a = arithmetic.operand(p[0]);
        const Maybe b = arithmetic.operand(p[1]);
        const Maybe c = arithmetic.operand(p[2]);
        const Maybe d = arithmetic.operand(p[3]);

        // Parts without a, by o2 and o3.
        std::array<Maybe, 4> cd, bc;
        std::array<std::array<Maybe, 4>, 4> bc_d, b_cd;
        for (int o = opAdd; o <= opDiv; ++o) {
            cd[o - 1] = apply(c, d, o);
            bc[o - 1] = apply(b, c, o);
        }
        for (int o2 = opAdd; o2 <= opDiv; ++o2) {
            for (int o3 = opAdd; o3 <= opDiv; ++o3) {
                bc_d[o2 - 1][o3 - 1] = apply(bc[o2 - 1], d, o3);
                b_cd[o2 - 1][o3 - 1] = apply(b, cd[o3 - 1], o2);
            }
        }

        for (int o1 = opAdd; o1 <= opDiv; ++o1) {
            const Maybe ab = apply(a, b, o1);
            for (int o2 = opAdd; o2 <= opDiv; ++o2) {
                const Maybe ab_c = apply(ab, c, o2);
                const Maybe a_bc = apply(a, bc[o2 - 1], o1);
                for (int o3 = opAdd; o3 <= opDiv; ++o3) {
                    const std::array<Maybe, shapeCount> value{
                        apply(ab_c, d, o3),                 // ((a o1 b) o2 c) o3 d
                        apply(ab, cd[o3 - 1], o2),          // (a o1 b) o2 (c o3 d)
                        apply(a, bc_d[o2 - 1][o3 - 1], o1), // a o1 ((b o2 c) o3 d)
                        apply(a, b_cd[o2 - 1][o3 - 1], o1), // a o1 (b o2 (c o3 d))
                        apply(a_bc, d, o3),                 // (a o1 (b o2 c)) o3 d
                    };
                    for (std::size_t shape = 0; shape < value.size(); ++shape) {
                        if (hits(value[shape]))
                            last[shape] = Hit{p, o1, o2, o3};
                    }
                }
            }
        }
    }

    for (int shape = 1; shape <= shapeCount; ++shape) {
        if (const auto &hit = last[static_cast<std::size_t>(shape - 1)])
            resultSlot(shape) = FormatSolution(shape, hit->p, hit->o1, hit->o2, hit->o3, texts);
    }
}

} // namespace modQuaddle
