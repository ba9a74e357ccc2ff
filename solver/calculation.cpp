#include "calculation.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "expression.h"
#include "numbers.h"
#include "result.h"
#include "tables.h"

namespace solver {

namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kHalfPi = kPi / 2;

// ---------------------------------------------------------------------------
// Numbers

// 2 to the power 63: beyond it the x87 trigonometry gives up, and a quotient
// can no longer be tested for being whole.
constexpr long double kTrigLimit = 9223372036854775808.0L;

// tg, sec (quotient (x - pi/2)/pi) and ctg, cosec (quotient x/pi) have poles
// where the quotient is whole.  A quotient too large to test is refused too:
// no meaningful value lies out there.
bool at_pole(long double quotient) {
    return !(std::fabs(quotient) < kTrigLimit) || is_integer(quotient);
}

// u to the power v: whole exponents by repeated squaring (exact for the
// integers a handbook meets), the rest through the logarithm.
long double power(long double u, long double v) {
    if (v == 0) return 1;
    if (u == 0 && v > 0) return 0;
    if (v == std::trunc(v) && std::fabs(v) <= 2147483647.0L) {
        auto n = static_cast<uint32_t>(std::fabs(v));
        long double result = 1, base = u;
        while (n) {
            if (n & 1) result *= base;
            n >>= 1;
            if (n) base *= base;
        }
        return v < 0 ? 1 / result : result;
    }
    return std::exp(v * std::log(u));
}

long double arcsin_of(long double x) {
    return std::atan2(x, std::sqrt(1 - x * x));
}
long double arccos_of(long double x) {
    return std::atan2(std::sqrt(1 - x * x), x);
}
long double sh_of(long double x) {
    return x == 0 ? 0 : (std::exp(x) - std::exp(-x)) / 2;
}
long double ch_of(long double x) {
    return x == 0 ? 1 : (std::exp(x) + std::exp(-x)) / 2;
}
long double th_of(long double x) {
    return x == 0 ? 0 : sh_of(x) / ch_of(x);
}

constexpr Fold kBadArgumentFold{0, kBadArgument};

// Whatever is not a finite number (an overflow, a pole the checks do not
// name, a root of a negative number) is a failed fold as well.
Fold finite(long double value) {
    if (!std::isfinite(value)) return kBadArgumentFold;
    return {value, 0};
}

}  // namespace

Fold function_value(uint8_t index, long double x, long double y) {
    switch (index) {
        case 0:
            return finite(std::fabs(x) >= kTrigLimit ? 0 : std::sin(x));
        case 1:
            return x > 1 || x < -1 ? kBadArgumentFold : finite(arcsin_of(x));
        case 2:
            return finite(std::fabs(x) >= kTrigLimit ? 0 : std::cos(x));
        case 3:
            return x > 1 || x < -1 ? kBadArgumentFold : finite(arccos_of(x));
        case 4:
            return at_pole((x - kHalfPi) / kPi) ? kBadArgumentFold : finite(std::tan(x));
        case 5:
            return finite(std::atan(x));
        case 6:
            return at_pole(x / kPi) ? kBadArgumentFold : finite(1 / std::tan(x));
        case 7:
            return finite(x == 0 ? kHalfPi : std::atan(1 / x));
        case 8:
            return at_pole((x - kHalfPi) / kPi) ? kBadArgumentFold : finite(1 / std::cos(x));
        case 9:
            return finite(arccos_of(1 / x));
        case 10:
            return at_pole(x / kPi) ? kBadArgumentFold : finite(1 / std::sin(x));
        case 11:
            return finite(arcsin_of(1 / x));
        case 12:
            return finite(sh_of(x));
        case 13:
            return finite(std::log(x + std::sqrt(x * x + 1)));
        case 14:
            return finite(ch_of(x));
        case 15:
            return x == -1 ? kBadArgumentFold : finite(std::log(x + (x + 1) * std::sqrt((x - 1) / (x + 1))));
        case 16:
            return finite(th_of(x));
        case 17:
            return x < -1 || x > 1 ? kBadArgumentFold : finite(std::log((1 + x) / (1 - x)) / 2);
        case 18:
            return finite(1 / th_of(x));
        case 19:
            return x >= -1 && x <= 1 ? kBadArgumentFold : finite(std::log((x + 1) / (x - 1)) / 2);
        case 20:
            return finite(1 / ch_of(x));
        case 21:
            return finite(x == 0 ? 0 : std::log((std::sqrt(1 - x * x) + 1) / x));
        case 22:
            return finite(1 / sh_of(x));
        case 23:
            return finite(std::log(std::sqrt(1 + 1 / (x * x)) + 1 / x));
        case kSqr:
            return finite(x * x);
        case kSqrt:
            return x < 0 ? kBadArgumentFold : finite(std::sqrt(x));
        case kExp:
            return finite(std::exp(x));
        case kLn:
            return x <= 0 ? kBadArgumentFold : finite(std::log(x));
        case 28:
            return finite(power(2, x));
        case 29:
            return x <= 0 ? kBadArgumentFold : finite(std::log2(x));
        case 30:
            return finite(power(10, x));
        case 31:
            return x <= 0 ? kBadArgumentFold : finite(std::log10(x));
        case kPow:
            return finite(power(x, y));
        case kRoot:
            return x == 0 ? kBadArgumentFold : finite(power(y, 1 / x));
        case kLog:
            return y <= 0 ? kBadArgumentFold : finite(std::log2(y) / std::log2(x));
        default:
            return kBadArgumentFold;
    }
}

Fold operator_value(uint8_t index, long double left, long double right) {
    switch (index) {
        case kUnaryPlus:
            return finite(right);
        case kUnaryMinus:
            return finite(-right);
        case kPlus:
            return finite(left + right);
        case kMinus:
            return finite(left - right);
        case kTimes:
            return finite(left * right);
        case kDivide:
            if (right == 0) return {0, kDivisionByZero};
            return finite(left / right);
        default:
            return kBadArgumentFold;
    }
}

// ---------------------------------------------------------------------------
// Substitution

void replace_variable(Node *root, std::string_view name, const Node *value) {
    if (!root || !value) return;
    // Gather first and replace afterwards, so that a value that mentions the
    // name itself (x := x+1) is not substituted into again.
    std::vector<Node *> found, pending{root};
    while (!pending.empty()) {
        Node *n = pending.back();
        pending.pop_back();
        if (n->Kind == VariableNode && n->name() == name) found.push_back(n);
        if (n->Right) pending.push_back(n->Right);
        if (n->Left) pending.push_back(n->Left);
    }
    for (Node *n : found) {
        n->Kind = value->Kind;
        n->Index = value->Index;
        std::memcpy(n->Name, value->Name, sizeof n->Name);
        n->Level = value->Level;
        n->Dim = value->Dim;
        n->Left = copy_tree(value->Left);
        n->Right = copy_tree(value->Right);
    }
}

void substitute(Node *root, std::string_view name, std::string_view value) {
    clear_result();
    Tokens tokens;
    if (const uint16_t code = analyse_text(value, tokens)) {
        set_result(code);
        return;
    }
    for (const Token &token : tokens) {
        if (token.Kind == RelationToken) {
            set_result(kRelationInSubstitution);
            return;
        }
    }
    uint16_t code = 0;
    Node *tree = build_tree(tokens, code);
    // A value of blanks only has no tree: the occurrences stay as they are.
    if (code == 0) replace_variable(root, name, tree);
    set_result(code);
    free_tree(tree);
}

// ---------------------------------------------------------------------------
// Simplification

namespace {

bool is_operator(const Node *n, uint8_t op) {
    return n && n->Kind == OperatorNode && n->Index == op;
}

long double number_value(const Node *n) {
    bool failed = false;
    const long double value = parse_value(n->name(), failed);
    return failed ? 0 : value;
}

// A present number node of exactly this value.
bool has_value(const Node *n, long double value) {
    return n && n->Kind == NumberNode && number_value(n) == value;
}

// Same kind, index and name throughout; a missing subtree on either side is
// equal to anything.  Iterative: the subtrees may be deep.
bool equal(const Node *a, const Node *b) {
    std::vector<std::pair<const Node *, const Node *>> pending{{a, b}};
    while (!pending.empty()) {
        auto [x, y] = pending.back();
        pending.pop_back();
        if (!x || !y) continue;
        if (x == y) continue;
        if (x->Kind != y->Kind || x->Index != y->Index || std::strcmp(x->Name, y->Name) != 0) return false;
        pending.emplace_back(x->Right, y->Right);
        pending.emplace_back(x->Left, y->Left);
    }
    return true;
}

// x is -y: a unary minus over something equal to y.
bool negation_of(const Node *x, const Node *y) {
    return is_operator(x, kUnaryMinus) && equal(x->Right, y);
}

// x is 1/y: a division of the number 1 by something equal to y.
bool reciprocal_of(const Node *x, const Node *y) {
    return is_operator(x, kDivide) && has_value(x->Left, 1) && equal(x->Right, y);
}

// The operand as a number, when it is one: a number node or missing (0).
struct Operand {
    bool number;
    long double value;
};

Operand operand(const Node *n) {
    if (!n) return {true, 0};
    if (n->Kind != NumberNode) return {false, 0};
    return {true, number_value(n)};
}

// --- making nodes; each takes ownership of the subtrees it is given

Node *number(long double value) {
    return new_node(NumberNode, kNoIndex, format_value(value));
}

Node *folded(Fold fold) {
    if (fold.code) set_result(fold.code);
    return number(fold.value);
}

Node *operation(uint8_t op, Node *left, Node *right) {
    Node *n = new_node(OperatorNode, op, "");
    n->Left = left;
    n->Right = right;
    return n;
}

Node *negation(Node *operand) {
    return operation(kUnaryMinus, nullptr, operand);
}
Node *twice(Node *x) {
    return operation(kTimes, number(2), x);
}
Node *reciprocal(Node *x) {
    return operation(kDivide, number(1), x);
}

Node *square(Node *x) {
    Node *n = new_node(FunctionNode, kSqr, "");
    n->Left = x;
    return n;
}

// Frees `c` but for one subtree, which is returned.
Node *keep(Node *c, Node *Node::*child) {
    Node *kept = c->*child;
    c->*child = nullptr;
    free_tree(c);
    return kept;
}

Node *keep_left(Node *c) {
    return keep(c, &Node::Left);
}
Node *keep_right(Node *c) {
    return keep(c, &Node::Right);
}

Node *replaced(Node *c, Node *with) {
    free_tree(c);
    return with;
}

// --- the identities; each takes ownership of `c`, whose children are
// already simplified, and returns what stands in its place.

Node *rewrite_function(Node *c) {
    const uint8_t f = c->Index;
    if (f >= kFunctions.size()) return c;
    const Node *a = c->Left;
    const Node *b = c->Right;
    const Operand x = operand(a);
    const Operand y = operand(b);
    const bool unary = kFunctions[f].arguments == 1;

    if (x.number && (unary || y.number)) return replaced(c, folded(function_value(f, x.value, y.value)));
    if (unary) {
        if (a->Kind == FunctionNode && a->Index == kFunctions[f].inverse[0]) {
            Node *argument = c->Left->Left;
            c->Left->Left = nullptr;
            return replaced(c, argument);
        }
        return c;
    }
    switch (f) {
        case kPow:
            if (has_value(a, 0)) return replaced(c, number(0));
            if (has_value(a, 1)) return replaced(c, number(1));
            if (has_value(b, 0)) return replaced(c, number(1));
            if (has_value(b, 1)) return keep_left(c);
            if (has_value(b, -1)) return reciprocal(keep_left(c));
            return c;
        case kRoot:
            if (x.number && x.value == 0) {
                set_result(kBadArgument);
                return c;
            }
            if (has_value(a, 1)) return keep_right(c);
            if (has_value(b, 0)) return replaced(c, number(0));
            if (has_value(b, 1)) return replaced(c, number(1));
            return c;
        case kLog:
            if (y.number && y.value <= 0) {
                set_result(kBadArgument);
                return c;
            }
            if (has_value(b, 1)) return replaced(c, number(0));
            return c;
        default:
            return c;
    }
}

Node *rewrite_sum(Node *c) {
    const Node *l = c->Left;
    const Node *r = c->Right;
    if (has_value(l, 0)) return keep_right(c);
    if (has_value(r, 0)) return keep_left(c);
    if (equal(l, r)) return twice(keep_left(c));
    if (negation_of(l, r) || negation_of(r, l)) return replaced(c, number(0));
    return c;
}

Node *rewrite_difference(Node *c) {
    const Node *l = c->Left;
    const Node *r = c->Right;
    if (has_value(l, 0)) return negation(keep_right(c));
    if (has_value(r, 0)) return keep_left(c);
    if (equal(l, r)) return replaced(c, number(0));
    if (negation_of(l, r) || negation_of(r, l)) {
        if (is_operator(l, kUnaryMinus)) return negation(twice(keep_right(c)));
        return twice(keep_left(c));
    }
    return c;
}

Node *rewrite_product(Node *c) {
    const Node *l = c->Left;
    const Node *r = c->Right;
    if (has_value(l, 0) || has_value(r, 0)) return replaced(c, number(0));
    if (has_value(l, 1)) return keep_right(c);
    if (has_value(r, 1)) return keep_left(c);
    if (equal(l, r)) return square(keep_left(c));
    if (negation_of(l, r) || negation_of(r, l)) {
        if (is_operator(l, kUnaryMinus)) return negation(square(keep_right(c)));
        return negation(square(keep_left(c)));
    }
    if (reciprocal_of(l, r) || reciprocal_of(r, l)) return replaced(c, number(1));
    const bool minus_reciprocal = (is_operator(l, kUnaryMinus) && reciprocal_of(l->Right, r)) ||
                                  (is_operator(r, kUnaryMinus) && reciprocal_of(r->Right, l));
    const bool minus_times_reciprocal = (is_operator(l, kUnaryMinus) && is_operator(r, kDivide) &&
                                         has_value(r->Left, 1) && equal(l->Right, r->Right)) ||
                                        (is_operator(r, kUnaryMinus) && is_operator(l, kDivide) &&
                                         has_value(l->Left, 1) && equal(r->Right, l->Right));
    if (minus_reciprocal || minus_times_reciprocal) return replaced(c, number(-1));
    return c;
}

Node *rewrite_quotient(Node *c, const Operand &right) {
    const Node *l = c->Left;
    const Node *r = c->Right;
    if (right.number && right.value == 0) {
        set_result(kBadArgument);
        return c;
    }
    if (has_value(l, 0)) return replaced(c, number(0));
    if (has_value(r, 1)) return keep_left(c);
    if (equal(l, r)) return replaced(c, number(1));
    if (negation_of(l, r) || negation_of(r, l)) return replaced(c, number(-1));
    if (reciprocal_of(l, r)) return reciprocal(square(keep_right(c)));
    if (reciprocal_of(r, l)) return square(keep_left(c));
    return c;
}

Node *rewrite_operator(Node *c) {
    const Operand left = operand(c->Left);
    const Operand right = operand(c->Right);
    if (left.number && right.number)
        return replaced(c, folded(operator_value(c->Index, left.value, right.value)));
    switch (c->Index) {
        case kUnaryPlus:
            return keep_right(c);
        case kUnaryMinus:
            if (is_operator(c->Right, kUnaryMinus)) {
                Node *operand = c->Right->Right;
                c->Right->Right = nullptr;
                return replaced(c, operand);
            }
            return c;
        case kPlus:
            return rewrite_sum(c);
        case kMinus:
            return rewrite_difference(c);
        case kTimes:
            return rewrite_product(c);
        case kDivide:
            return rewrite_quotient(c, right);
        default:
            return c;
    }
}

Node *rewrite(Node *c) {
    switch (c->Kind) {
        case FunctionNode:
            return rewrite_function(c);
        case OperatorNode:
            return rewrite_operator(c);
        default:
            return c;
    }
}

Node *copy_leaf(const Node *n) {
    Node *copy = new Node(*n);
    copy->Left = copy->Right = nullptr;
    return copy;
}

}  // namespace

Node *simplify(const Node *root) {
    if (!root) return nullptr;
    // Post-order without recursion: a step is visited once on the way down
    // and once, with its children's results on `done`, on the way up.
    struct Step {
        const Node *node;
        bool up;
    };
    std::vector<Step> steps{{root, false}};
    std::vector<Node *> done;
    try {
        while (!steps.empty()) {
            const Step step = steps.back();
            steps.pop_back();
            const Node *n = step.node;
            if (!n) {
                done.push_back(nullptr);
            } else if (n->Kind == NumberNode || n->Kind == VariableNode) {
                done.push_back(copy_leaf(n));
            } else if (!step.up) {
                steps.push_back({n, true});
                steps.push_back({n->Right, false});
                steps.push_back({n->Left, false});
            } else {
                Node *c = new_node(static_cast<NodeKind>(n->Kind), n->Index, "");
                c->Right = done.back();
                done.pop_back();
                c->Left = done.back();
                done.back() = nullptr;  // owned by c from here on
                done.back() = rewrite(c);
            }
        }
    } catch (...) {
        for (Node *n : done) free_tree(n);
        throw;
    }
    return done.back();
}

}  // namespace solver
