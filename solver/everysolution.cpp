// Every distinct solution: the values of each subset of the numbers are built
// once, from the subsets that split it, and the whole hand is met in the
// middle: for each split and each value on one side, the value the other side
// needs is known and looked up. Only the expressions that make the target are
// ever put into their canonical form, and those forms are shared (hash-consed),
// so telling solutions apart is comparing two numbers.
#include "everysolution.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <numeric>
#include <unordered_map>

namespace modQuaddle {

namespace {

enum class Op : std::uint8_t { Leaf, Add, Sub, Mul, Div };

// The canonical forms of expressions. A form is a leaf (a value of the hand),
// a sum of signed terms or a product of factors and divisors; the parts of a
// sum are never sums and those of a product never products. A part is stored
// as (form << 1 | inverted), inverted meaning "minus" in a sum and "divided
// by" in a product, and the parts are kept sorted: equal forms have equal ids.
class Forms
{
public:
    enum class Kind : std::uint32_t { Leaf, Sum, Product };
    using Id = std::uint32_t;

    Id leaf(std::size_t valueClass) { return intern(Kind::Leaf, {static_cast<Id>(valueClass)}); }

    // a op b, flattened into one sum or product.
    Id combine(Op op, Id a, Id b)
    {
        const Kind kind = op == Op::Add || op == Op::Sub ? Kind::Sum : Kind::Product;
        const bool invertB = op == Op::Sub || op == Op::Div;
        std::vector<Id> parts;
        appendParts(parts, kind, a, false);
        appendParts(parts, kind, b, invertB);
        std::sort(parts.begin(), parts.end());
        return intern(kind, std::move(parts));
    }

    Kind kind(Id id) const { return m_nodes[id].kind; }
    const std::vector<Id> &parts(Id id) const { return m_nodes[id].parts; }

private:
    struct Node {
        Kind kind;
        std::vector<Id> parts;
    };
    struct KeyHash {
        std::size_t operator()(const std::vector<Id> &key) const
        {
            std::size_t hash = key.size();
            for (const Id part : key)
                hash = hash * 0x9E3779B97F4A7C15ull + part;
            return hash;
        }
    };

    void appendParts(std::vector<Id> &parts, Kind kind, Id id, bool invert) const
    {
        if (m_nodes[id].kind != kind) {
            parts.push_back(id << 1 | Id(invert));
            return;
        }
        for (const Id part : m_nodes[id].parts)
            parts.push_back(part ^ Id(invert));
    }

    Id intern(Kind kind, std::vector<Id> parts)
    {
        std::vector<Id> key = parts;
        key.push_back(static_cast<Id>(kind));
        const auto [where, added] = m_ids.try_emplace(std::move(key), Id(m_nodes.size()));
        if (added)
            m_nodes.push_back({kind, std::move(parts)});
        return where->second;
    }

    std::vector<Node> m_nodes;
    std::unordered_map<std::vector<Id>, Id, KeyHash> m_ids;
};

// Writes a form with the fewest brackets: within a sum the terms are leaves
// or products, which bind tighter; within a product a sum needs brackets.
// Positive terms and factors come first; each group is sorted by its text.
std::string formText(const Forms &forms, Forms::Id id, const std::vector<std::string> &leafTexts)
{
    if (forms.kind(id) == Forms::Kind::Leaf)
        return leafTexts[forms.parts(id).front()];
    const bool sum = forms.kind(id) == Forms::Kind::Sum;
    std::vector<std::string> plain;
    std::vector<std::string> inverted;
    for (const Forms::Id part : forms.parts(id)) {
        std::string text = formText(forms, part >> 1, leafTexts);
        if (!sum && forms.kind(part >> 1) == Forms::Kind::Sum)
            text = "(" + text + ")";
        (part & 1 ? inverted : plain).push_back(std::move(text));
    }
    std::sort(plain.begin(), plain.end());
    std::sort(inverted.begin(), inverted.end());
    std::string text;
    for (const std::string &part : plain)
        text += (text.empty() ? "" : sum ? "+" : "*") + part;
    for (const std::string &part : inverted)
        text += (sum ? "-" : "/") + part;
    return text;
}

// Thrown out of a search whose caller no longer wants its answer.
struct Stopped {};

template <typename Fraction> class EverySearch
{
public:
    EverySearch(const std::vector<HandNumber> &numbers, const Rational &target,
                std::stop_token stop)
        : m_stop(std::move(stop))
        , m_count(numbers.size())
        , m_full((1u << m_count) - 1)
        , m_target(toFraction(target))
        , m_entries(std::size_t(1) << m_count)
        , m_forms(m_entries.size())
    {
        // Equal values share a leaf, written as the first of them.
        for (std::size_t k = 0; k < m_count; ++k) {
            std::size_t valueClass = 0;
            while (valueClass < m_leafValues.size() &&
                   !(m_leafValues[valueClass] == numbers[k].value))
                ++valueClass;
            if (valueClass == m_leafValues.size()) {
                m_leafValues.push_back(numbers[k].value);
                m_leafTexts.push_back(numbers[k].text);
            }
            m_leafOf.push_back(m_canon.leaf(valueClass));
            m_entries[1u << k].push_back(
                {toFraction(numbers[k].value), Op::Leaf, 0, std::uint32_t(k), 0});
        }
    }

    std::vector<std::string> solve()
    {
        if (m_count == 1) {
            if (m_entries[1].front().value == m_target)
                m_solutions.push_back(formOf(1, 0));
        } else {
            // Every proper subset, smaller ones first, then the whole hand.
            std::vector<unsigned> masks(m_full - 1);
            std::iota(masks.begin(), masks.end(), 1u);
            std::stable_sort(masks.begin(), masks.end(), [](unsigned a, unsigned b) {
                return std::popcount(a) < std::popcount(b);
            });
            for (const unsigned mask : masks) {
                if (std::popcount(mask) > 1)
                    build(mask);
            }
            meetInTheMiddle();
        }

        std::sort(m_solutions.begin(), m_solutions.end());
        m_solutions.erase(std::unique(m_solutions.begin(), m_solutions.end()), m_solutions.end());
        std::vector<std::string> texts;
        texts.reserve(m_solutions.size());
        for (const Forms::Id solution : m_solutions)
            texts.push_back(formText(m_canon, solution, m_leafTexts));
        std::sort(texts.begin(), texts.end());
        return texts;
    }

private:
    struct Entry {
        Fraction value;
        Op op;
        std::uint8_t leftMask; // the right operand's subset is the rest of this entry's
        std::uint32_t left;    // for a leaf, the number's index
        std::uint32_t right;
    };

    static Fraction toFraction(const Rational &value)
    {
        if constexpr (std::is_same_v<Fraction, Rational>) {
            return value;
        } else {
            using Int = typename Fraction::Int;
            constexpr auto high = std::numeric_limits<Int>::max();
            if (value.numerator() < -high || value.numerator() > high || value.denominator() > high)
                checked::overflow();
            return Fraction::fraction(static_cast<Int>(value.numerator()),
                                      static_cast<Int>(value.denominator()));
        }
    }

    // The splits of a subset into two non-empty parts, each once, with the
    // part holding the lowest number first.
    template <typename F> static void forEachSplit(unsigned mask, F &&f)
    {
        const unsigned lowest = mask & -mask;
        for (unsigned a = (mask - 1) & mask; a != 0; a = (a - 1) & mask) {
            if (a & lowest)
                f(a, mask ^ a);
        }
    }

    void build(unsigned mask)
    {
        std::vector<Entry> &out = m_entries[mask];
        std::size_t most = 0; // six results a pair, fewer after a division by zero
        forEachSplit(mask, [&](unsigned a, unsigned b) {
            most += 6 * m_entries[a].size() * m_entries[b].size();
        });
        out.reserve(most);
        forEachSplit(mask, [&](unsigned a, unsigned b) {
            const std::vector<Entry> &left = m_entries[a];
            const std::vector<Entry> &right = m_entries[b];
            for (std::uint32_t i = 0; i < left.size(); ++i) {
                checkStop();
                const Fraction &x = left[i].value;
                for (std::uint32_t j = 0; j < right.size(); ++j) {
                    const Fraction &y = right[j].value;
                    const auto entry = [&](Fraction value, Op op, bool swapped) {
                        out.push_back(swapped ? Entry{value, op, std::uint8_t(b), j, i}
                                              : Entry{value, op, std::uint8_t(a), i, j});
                    };
                    entry(x + y, Op::Add, false);
                    entry(x * y, Op::Mul, false);
                    entry(x - y, Op::Sub, false);
                    entry(y - x, Op::Sub, true);
                    if (auto q = x.dividedBy(y))
                        entry(*q, Op::Div, false);
                    if (auto q = y.dividedBy(x))
                        entry(*q, Op::Div, true);
                }
            }
        });
    }

    void meetInTheMiddle()
    {
        const bool zeroTarget = m_target.isZero();
        forEachSplit(m_full, [&](unsigned a, unsigned b) {
            // Look up in the larger side, sorted by value.
            if (m_entries[a].size() > m_entries[b].size())
                std::swap(a, b);
            const std::vector<Entry> &small = m_entries[a];
            const std::vector<Entry> &large = m_entries[b];
            std::vector<std::uint32_t> order(large.size());
            std::iota(order.begin(), order.end(), 0u);
            const auto key = [&](std::uint32_t j) {
                return std::pair(large[j].value.numerator(), large[j].value.denominator());
            };
            std::sort(order.begin(), order.end(),
                      [&](std::uint32_t p, std::uint32_t q) { return key(p) < key(q); });

            // The entries of the large side whose value is `wanted`.
            const auto matching = [&](const Fraction &wanted, auto &&f) {
                const auto target = std::pair(wanted.numerator(), wanted.denominator());
                auto j =
                    std::lower_bound(order.begin(), order.end(), target,
                                     [&](std::uint32_t p, const auto &t) { return key(p) < t; });
                for (; j != order.end() && key(*j) == target; ++j)
                    f(*j);
            };
            const auto every = [&](auto &&accept, auto &&f) {
                for (std::uint32_t j = 0; j < large.size(); ++j) {
                    if (accept(large[j].value))
                        f(j);
                }
            };

            checkStop();
            for (std::uint32_t i = 0; i < small.size(); ++i) {
                checkStop();
                const Fraction &x = small[i].value;
                const auto hit = [&](Op op, bool largeFirst) {
                    return [&, op, largeFirst](std::uint32_t j) {
                        const Forms::Id fx = formOf(a, i);
                        const Forms::Id fy = formOf(b, j);
                        m_solutions.push_back(largeFirst ? m_canon.combine(op, fy, fx)
                                                         : m_canon.combine(op, fx, fy));
                    };
                };
                matching(m_target - x, hit(Op::Add, false)); // x + y
                matching(x - m_target, hit(Op::Sub, false)); // x - y
                matching(m_target + x, hit(Op::Sub, true));  // y - x
                if (!x.isZero()) {
                    matching(*m_target.dividedBy(x), hit(Op::Mul, false)); // x * y
                    matching(m_target * x, hit(Op::Div, true));            // y / x
                } else if (zeroTarget) {
                    every([](const Fraction &) { return true; }, hit(Op::Mul, false));
                }
                if (!zeroTarget) {
                    if (!x.isZero())
                        matching(*x.dividedBy(m_target), hit(Op::Div, false)); // x / y
                } else if (x.isZero()) {
                    every([](const Fraction &y) { return !y.isZero(); }, hit(Op::Div, false));
                }
            }
        });
    }

    // The canonical form of entry `index` of subset `mask`, made once.
    Forms::Id formOf(unsigned mask, std::uint32_t index)
    {
        std::vector<Forms::Id> &memo = m_forms[mask];
        if (memo.empty())
            memo.assign(m_entries[mask].size(), unknown);
        Forms::Id &form = memo[index];
        if (form == unknown) {
            const Entry &entry = m_entries[mask][index];
            if (entry.op == Op::Leaf) {
                form = m_leafOf[entry.left];
            } else {
                const Forms::Id left = formOf(entry.leftMask, entry.left);
                const Forms::Id right = formOf(mask ^ entry.leftMask, entry.right);
                form = m_canon.combine(entry.op, left, right);
            }
        }
        return form;
    }

    void checkStop() const
    {
        if (m_stop.stop_requested())
            throw Stopped();
    }

    static constexpr Forms::Id unknown = ~Forms::Id(0);

    std::stop_token m_stop;
    std::size_t m_count;
    unsigned m_full;
    Fraction m_target;
    std::vector<std::vector<Entry>> m_entries; // by subset
    std::vector<std::vector<Forms::Id>> m_forms;
    std::vector<Rational> m_leafValues;
    std::vector<std::string> m_leafTexts;
    std::vector<Forms::Id> m_leafOf; // by number
    Forms m_canon;
    std::vector<Forms::Id> m_solutions;
};

} // namespace

std::vector<std::string> FindEverySolution(const std::vector<HandNumber> &numbers,
                                           const Rational &target, std::stop_token stop)
{
    if (numbers.empty() || numbers.size() > everySolutionMaxNumbers)
        throw std::invalid_argument("one to six numbers");
    try {
        try {
            return EverySearch<Rational64>(numbers, target, stop).solve();
        } catch (const std::overflow_error &) {
            return EverySearch<Rational>(numbers, target, stop).solve();
        }
    } catch (const Stopped &) {
        return {};
    }
}

} // namespace modQuaddle
