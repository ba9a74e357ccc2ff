// Dimensions: nine exponents with wrapping 8-bit arithmetic, and the
// analysis that checks a formula and infers the dimensions of its variables.
#pragma once

#include <cstdint>
#include <string_view>

#include "node.h"
#include "solver.h"

namespace solver {

// Exponent positions.
enum DimensionAxis : uint8_t {
    kLength = 0,
    kMass,
    kTime,
    kCurrent,
    kTemperature,
    kAmount,
    kLuminosity,
    kPlaneAngle,
    kSolidAngle
};
constexpr int kAxes = 9;

// Exponent by exponent, modulo 256.
Dimension dim_sum(const Dimension &a, const Dimension &b);
Dimension dim_difference(const Dimension &a, const Dimension &b);
Dimension dim_multiple(const Dimension &a, int64_t k);
// Truncated towards zero; k must not be 0.
Dimension dim_quotient(const Dimension &a, int64_t k);
bool dim_divisible(const Dimension &a, int64_t k);
bool dim_equal(const Dimension &a, const Dimension &b);
// The zero vector: dimensionless, or not known yet.
bool dim_zero(const Dimension &a);

// Applies one node's rule to the dimensions of the node and its children;
// a fault sets the result register.  A missing child reads as the zero
// vector and takes no writes.
void apply_dimension_rule(Node *node);

// Analyses a whole tree as the rule-by-rule recursion does (every node
// re-analyses its subtrees after its rule), without its exponential cost.
// The result register must be clear on entry; a fault is left in it.
void analyse_dimensions(Node *root);

void set_variable_dimension(Node *root, std::string_view name, const Dimension &dimension);
// The first variable node of that name, root first, then left before right.
const Node *find_variable(const Node *root, std::string_view name);

}  // namespace solver
