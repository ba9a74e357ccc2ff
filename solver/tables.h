// The engine's vocabulary: 35 functions, 6 operators, 6 relations.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace solver {

constexpr uint8_t kNone = 255;

struct FunctionRow {
    std::string_view name;
    uint8_t arguments;
    // Solving f(...) = z for a variable in argument k (Part of transposition):
    // z is carried over by `inverse[k]`; known_first[k] means inverse(z, other)
    // rather than inverse(other, z).  One-argument functions use inverse(z).
    uint8_t inverse[2];
    bool known_first[2];
};

constexpr std::array<FunctionRow, 35> kFunctions{{
    {"sin", 1, {1, kNone}, {true, false}},
    {"arcsin", 1, {0, kNone}, {true, false}},
    {"cos", 1, {3, kNone}, {true, false}},
    {"arccos", 1, {2, kNone}, {true, false}},
    {"tg", 1, {5, kNone}, {true, false}},
    {"arctg", 1, {4, kNone}, {true, false}},
    {"ctg", 1, {7, kNone}, {true, false}},
    {"arcctg", 1, {6, kNone}, {true, false}},
    {"sec", 1, {9, kNone}, {true, false}},
    {"arcsec", 1, {8, kNone}, {true, false}},
    {"cosec", 1, {11, kNone}, {true, false}},
    {"arccosec", 1, {10, kNone}, {true, false}},
    {"sh", 1, {13, kNone}, {true, false}},
    {"arcsh", 1, {12, kNone}, {true, false}},
    {"ch", 1, {15, kNone}, {true, false}},
    {"arcch", 1, {14, kNone}, {true, false}},
    {"th", 1, {17, kNone}, {true, false}},
    {"arcth", 1, {16, kNone}, {true, false}},
    {"cth", 1, {19, kNone}, {true, false}},
    {"arccth", 1, {18, kNone}, {true, false}},
    {"sech", 1, {21, kNone}, {true, false}},
    {"arcsech", 1, {20, kNone}, {true, false}},
    {"csch", 1, {23, kNone}, {true, false}},
    {"arccsch", 1, {22, kNone}, {true, false}},
    {"sqr", 1, {25, kNone}, {true, false}},
    {"sqrt", 1, {24, kNone}, {true, false}},
    {"exp", 1, {27, kNone}, {true, false}},
    {"ln", 1, {26, kNone}, {true, false}},
    {"pow2", 1, {29, kNone}, {true, false}},
    {"log2", 1, {28, kNone}, {true, false}},
    {"pow10", 1, {31, kNone}, {true, false}},
    {"lg", 1, {30, kNone}, {true, false}},
    {"pow", 2, {33, 34}, {false, false}},
    {"root", 2, {34, 32}, {true, true}},
    {"log", 2, {33, 32}, {true, false}},
}};

enum FunctionIndex : uint8_t { kSqr = 24, kSqrt = 25, kExp = 26, kLn = 27, kPow = 32, kRoot = 33, kLog = 34 };

struct OperatorRow {
    char character;
    bool unary;
    uint8_t priority;
    uint8_t inverse_left;   // x op b = z  gives  x = z inv b
    uint8_t inverse_right;  // a op x = z  gives  x = z inv a (known first) or a inv z
    bool known_first_right;
    bool associative;
};

constexpr std::array<OperatorRow, 6> kOperators{{
    {'+', true, 3, kNone, kNone, false, false},
    {'-', true, 3, kNone, kNone, false, false},
    {'+', false, 1, 3, 3, true, true},
    {'-', false, 1, 2, 3, false, false},
    {'*', false, 2, 5, 5, true, true},
    {'/', false, 2, 4, 5, false, false},
}};

enum OperatorIndex : uint8_t { kUnaryPlus = 0, kUnaryMinus = 1, kPlus = 2, kMinus = 3, kTimes = 4, kDivide = 5 };

struct RelationRow {
    std::string_view text;
    uint8_t mirror;  // holds when both sides are exchanged
    int8_t order;    // strength when relations of a system are combined
};

constexpr std::array<RelationRow, 6> kRelations{{
    {"=", 0, 0},
    {"<", 2, -2},
    {">", 1, 2},
    {"<=", 4, -1},
    {">=", 3, 1},
    {"<>", 5, 0},
}};

enum RelationIndex : uint8_t { kEqual = 0, kLess = 1, kGreater = 2, kLessEqual = 3, kGreaterEqual = 4, kNotEqual = 5 };

}  // namespace solver
