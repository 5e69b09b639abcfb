// The brute force that the distinct-solution search is checked against:
// every expression of the numbers, in exact fractions, told apart by the rules
// of "the same" applied to whole trees; and solution texts read back into trees.
// Shared by the solver's tests and the fuzz target of the search.
#pragma once

#include "exactexpression.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bruteforce {

using exact::Fraction;

// An expression tree in a pool: a leaf holds a value, a node two children.
struct Node {
    char op = 0; // 0 for a leaf
    Fraction value;
    int left = -1;
    int right = -1;
};

class Trees
{
public:
    int leaf(Fraction value)
    {
        m_nodes.push_back({0, value, -1, -1});
        return int(m_nodes.size()) - 1;
    }
    int node(char op, int left, int right, Fraction value)
    {
        m_nodes.push_back({op, value, left, right});
        return int(m_nodes.size()) - 1;
    }
    const Node &operator[](int index) const { return m_nodes[std::size_t(index)]; }

    // The key two trees share exactly when they are the same solution.
    std::string key(int index) const
    {
        const Node &n = m_nodes[std::size_t(index)];
        if (!n.op)
            return std::to_string(n.value.num) + "/" + std::to_string(n.value.den);
        const bool sum = n.op == '+' || n.op == '-';
        std::vector<std::string> parts;
        collect(index, sum, false, parts);
        std::sort(parts.begin(), parts.end());
        std::string key = sum ? "S[" : "P[";
        for (const std::string &part : parts)
            key += part + ",";
        return key + "]";
    }

private:
    // The signed terms of a chain of + and -, or the factors and divisors of
    // a chain of * and /, with what is not part of the chain as one part.
    void collect(int index, bool sum, bool inverted, std::vector<std::string> &parts) const
    {
        const Node &n = m_nodes[std::size_t(index)];
        const bool inChain = sum ? (n.op == '+' || n.op == '-') : (n.op == '*' || n.op == '/');
        if (!inChain) {
            std::string part = inverted ? "~" : "";
            parts.push_back(part += key(index));
            return;
        }
        collect(n.left, sum, inverted, parts);
        collect(n.right, sum, n.op == '-' || n.op == '/' ? !inverted : inverted, parts);
    }

    std::vector<Node> m_nodes;
};

inline Fraction combine(char op, Fraction a, Fraction b)
{
    switch (op) {
    case '+':
        return Fraction::make(a.num * b.den + b.num * a.den, a.den * b.den);
    case '-':
        return Fraction::make(a.num * b.den - b.num * a.den, a.den * b.den);
    case '*':
        return Fraction::make(a.num * b.num, a.den * b.den);
    default:
        return Fraction::make(a.num * b.den, a.den * b.num);
    }
}

// Every expression that uses each number once: take any two of what is
// left, in either order, combine them with any operator, and go on.
inline void everyExpression(Trees &trees, std::vector<int> items, const Fraction &target,
                            std::set<std::string> &solutions)
{
    if (items.size() == 1) {
        if (trees[items.front()].value == target)
            solutions.insert(trees.key(items.front()));
        return;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (std::size_t j = 0; j < items.size(); ++j) {
            if (i == j)
                continue;
            std::vector<int> rest;
            for (std::size_t k = 0; k < items.size(); ++k) {
                if (k != i && k != j)
                    rest.push_back(items[k]);
            }
            for (const char op : {'+', '-', '*', '/'}) {
                const Fraction a = trees[items[i]].value;
                const Fraction b = trees[items[j]].value;
                if (op == '/' && b.num == 0)
                    continue;
                // + and * in one order only: the other is the same tree.
                if ((op == '+' || op == '*') && i > j)
                    continue;
                rest.push_back(trees.node(op, items[i], items[j], combine(op, a, b)));
                everyExpression(trees, rest, target, solutions);
                rest.pop_back();
            }
        }
    }
}

// A number or target as written: digits, a decimal, a fraction, maybe negative.
inline Fraction parseNumber(std::string_view text)
{
    if (text.starts_with('-')) {
        const Fraction positive = parseNumber(text.substr(1));
        return {-positive.num, positive.den};
    }
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos)
        return exact::Parser(text).evaluate(); // whole numbers and fractions
    std::int64_t num = 0;
    std::int64_t den = 1;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (k == point)
            continue;
        num = num * 10 + (text[k] - '0');
        if (k > point)
            den *= 10;
    }
    return Fraction::make(num, den);
}

// A solution text read back into a tree, with the usual precedence.
class TreeParser
{
public:
    TreeParser(std::string_view text, Trees &trees)
        : m_text(text)
        , m_trees(trees)
    {}

    int parse()
    {
        const int tree = sum();
        if (m_pos != m_text.size())
            throw std::invalid_argument("trailing characters");
        return tree;
    }

private:
    char peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    int chain(bool sum)
    {
        int left = sum ? chain(false) : atom();
        for (char op = peek(); sum ? (op == '+' || op == '-') : (op == '*' || op == '/');
             op = peek()) {
            ++m_pos;
            const int right = sum ? chain(false) : atom();
            left = m_trees.node(op, left, right,
                                combine(op, m_trees[left].value, m_trees[right].value));
        }
        return left;
    }
    int sum() { return chain(true); }
    int atom()
    {
        if (peek() == '(') {
            ++m_pos;
            const int inner = sum();
            if (peek() != ')')
                throw std::invalid_argument("missing )");
            ++m_pos;
            return inner;
        }
        const std::size_t start = m_pos;
        while (std::isdigit(static_cast<unsigned char>(peek())) || peek() == '.')
            ++m_pos;
        if (start == m_pos)
            throw std::invalid_argument("expected a number");
        return m_trees.leaf(parseNumber(m_text.substr(start, m_pos - start)));
    }

    std::string_view m_text;
    Trees &m_trees;
    std::size_t m_pos = 0;
};

} // namespace bruteforce
