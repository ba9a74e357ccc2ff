// Substitution of values into a tree and its simplifying calculation.
#pragma once

#include <cstdint>
#include <string_view>

#include "node.h"

namespace solver {

// The outcome of one numeric fold: its value, and 0 or the result code of a
// failed fold (whose value is then 0).
struct Fold {
    long double value = 0;
    uint16_t code = 0;
};

// Value of function row `index` at x (first argument) and y (second).
// Arguments outside the function's domain, and results that overflow or are
// undefined, fail with code 28.
Fold function_value(uint8_t index, long double x, long double y);

// Value of operator row `index` (a unary operator ignores `left`); a division
// by zero fails with code 29 and an overflow with code 28.
Fold operator_value(uint8_t index, long double left, long double right);

// Replaces, in place, every variable node named `name` inside `root` by its own
// copy of `value`; the tree `value` itself is left untouched.
void replace_variable(Node *root, std::string_view name, const Node *value);

// Substitutes the tree of the value text for every variable `name` of `root`.
// Clears the result code first; a fault of the value text (codes 1 to 26) or
// a relation in it (27) leaves the tree unchanged.
void substitute(Node *root, std::string_view name, std::string_view value);

// The simplified copy of a tree, owned by the caller (null for null).  Failed
// folds set codes 28 or 29 and leave 0 in their place; the code register is
// not cleared here.
Node *simplify(const Node *root);

}  // namespace solver
