#include "dimension.h"

#include <cmath>
#include <vector>

#include "numbers.h"
#include "result.h"
#include "tables.h"

namespace solver {

namespace {

int8_t wrap(int64_t exponent) {
    return static_cast<int8_t>(static_cast<uint8_t>(exponent & 0xFF));
}

template <class Op>
Dimension each(const Dimension &a, Op op) {
    Dimension d;
    for (int axis = 0; axis < kAxes; ++axis) d.Exponent[axis] = wrap(op(int64_t{a.Exponent[axis]}, axis));
    return d;
}

}  // namespace

Dimension dim_sum(const Dimension &a, const Dimension &b) {
    return each(a, [&](int64_t e, int axis) { return e + b.Exponent[axis]; });
}

Dimension dim_difference(const Dimension &a, const Dimension &b) {
    return each(a, [&](int64_t e, int axis) { return e - b.Exponent[axis]; });
}

Dimension dim_multiple(const Dimension &a, int64_t k) {
    // Modulo 256 a product depends only on k modulo 256, which keeps huge k in range.
    const int64_t k256 = k & 0xFF;
    return each(a, [&](int64_t e, int) { return e * k256; });
}

Dimension dim_quotient(const Dimension &a, int64_t k) {
    return each(a, [&](int64_t e, int) { return e / k; });
}

bool dim_divisible(const Dimension &a, int64_t k) {
    for (int8_t e : a.Exponent)
        if (e % k != 0) return false;
    return true;
}

bool dim_equal(const Dimension &a, const Dimension &b) {
    for (int axis = 0; axis < kAxes; ++axis)
        if (a.Exponent[axis] != b.Exponent[axis]) return false;
    return true;
}

bool dim_zero(const Dimension &a) {
    return dim_equal(a, Dimension{});
}

namespace {

// The dimensions one rule reads and writes: the node's own and its
// children's.  A missing child reads as zero and ignores writes.
class RuleSite {
  public:
    explicit RuleSite(Node *node) : node_(node) {}

    Dimension &own() { return node_->Dim; }
    Dimension left() const { return node_->Left ? node_->Left->Dim : Dimension{}; }
    Dimension right() const { return node_->Right ? node_->Right->Dim : Dimension{}; }
    void set_left(const Dimension &d) {
        if (node_->Left) node_->Left->Dim = d;
    }
    void set_right(const Dimension &d) {
        if (node_->Right) node_->Right->Dim = d;
    }
    const Node *left_node() const { return node_->Left; }
    const Node *right_node() const { return node_->Right; }
    uint8_t index() const { return node_->Index; }

  private:
    Node *node_;
};

bool known(const Dimension &d) {
    return !dim_zero(d);
}

void fail(uint16_t code) {
    set_result(code);
}

void relation_rule(RuleSite s) {
    const Dimension l = s.left(), r = s.right();
    if (known(l) && !known(r)) {
        s.set_right(l);
    } else if (known(r) && !known(l)) {
        s.set_left(r);
    } else if (known(l) && known(r) && !dim_equal(l, r)) {
        return fail(kDimensionMismatch);
    }
    s.own() = s.left();
}

void sign_rule(RuleSite s) {
    const Dimension x = s.right();
    Dimension &n = s.own();
    if (!known(x) && known(n)) {
        s.set_right(n);
    } else if (known(x) && !known(n)) {
        n = x;
    } else if (known(x) && known(n) && !dim_equal(x, n)) {
        fail(kDimensionMismatch);
    }
}

void sum_rule(RuleSite s) {
    const Dimension l = s.left(), r = s.right();
    Dimension &n = s.own();
    if (!known(n)) {
        if (known(l) && !known(r)) {
            s.set_right(l);
            n = l;
        } else if (known(r) && !known(l)) {
            s.set_left(r);
            n = r;
        } else if (known(l) && known(r)) {
            if (!dim_equal(l, r)) return fail(kDimensionMismatch);
            n = l;
        }
        return;
    }
    if (!known(l) && !known(r)) {
        s.set_left(n);
        s.set_right(n);
    } else if (known(l) && !known(r)) {
        if (!dim_equal(l, n)) return fail(kDimensionMismatch);
        s.set_right(l);
    } else if (known(r) && !known(l)) {
        if (!dim_equal(r, n)) return fail(kDimensionMismatch);
        s.set_left(r);
    } else if (!dim_equal(l, n) || !dim_equal(r, n)) {
        fail(kDimensionMismatch);
    }
}

// A product is L + R and a quotient L - R; `quotient` picks which.
void product_rule(RuleSite s, bool quotient) {
    const Dimension l = s.left(), r = s.right();
    Dimension &n = s.own();
    const auto combine = [quotient](const Dimension &a, const Dimension &b) {
        return quotient ? dim_difference(a, b) : dim_sum(a, b);
    };
    if (!known(n)) {
        if (known(l) && known(r)) n = combine(l, r);
        return;
    }
    if (!known(l) && !known(r)) return fail(kUnderdetermined);
    if (known(l) && !known(r)) {
        s.set_right(quotient ? dim_difference(l, n) : dim_difference(n, l));
    } else if (known(r) && !known(l)) {
        s.set_left(quotient ? dim_sum(n, r) : dim_difference(n, r));
    } else if (!dim_equal(n, combine(l, r))) {
        fail(kDimensionMismatch);
    }
}

void transcendental_rule(RuleSite s) {
    const Dimension a = s.left();
    if (!known(a) || a.Exponent[kPlaneAngle] == 1) {
        s.own() = Dimension{};
    } else if (!known(s.own())) {
        s.set_left(Dimension{});
    } else {
        fail(kNeedDimensionless);
    }
}

// The integer of a power's exponent or a root's degree, or 0 after a fault.
// A zero would divide by zero in the rules, so it has its own code.
int64_t integer_argument(const Node *node) {
    if (!node || node->Kind != NumberNode) return fail(kValueUndefined), 0;
    const long double value = parse_value(node->name());
    if (!(std::fabs(value) < 9e18L) || !is_integer(value)) return fail(kNotInteger), 0;
    const int64_t k = ext_integer(value);
    if (k == 0) fail(kZeroPower);
    return k;
}

// N = k * X for the base X of a power (or the radicand under a root of
// degree 1/k, with k taken as the divisor instead).
void scaled_rule(Dimension x, Dimension &n, int64_t k, bool divide,
                 void (RuleSite::*set_x)(const Dimension &), RuleSite &s) {
    if (known(x)) {
        if (!divide) {
            n = dim_multiple(x, k);
        } else if (dim_divisible(x, k)) {
            n = dim_quotient(x, k);
        } else {
            fail(kFractionalDimension);
        }
        return;
    }
    if (!known(n)) return fail(kDimensionMismatch);
    if (divide) {
        (s.*set_x)(dim_multiple(n, k));
    } else if (dim_divisible(n, k)) {
        (s.*set_x)(dim_quotient(n, k));
    } else {
        fail(kFractionalDimension);
    }
}

void function_rule(RuleSite s) {
    switch (s.index()) {
        case kSqr:
            return scaled_rule(s.left(), s.own(), 2, false, &RuleSite::set_left, s);
        case kSqrt:
            return scaled_rule(s.left(), s.own(), 2, true, &RuleSite::set_left, s);
        case kPow: {
            if (known(s.right())) return fail(kNeedDimensionless);
            const int64_t k = integer_argument(s.right_node());
            if (result() != 0) return;
            return scaled_rule(s.left(), s.own(), k, false, &RuleSite::set_left, s);
        }
        case kRoot: {
            if (known(s.left())) return fail(kNeedDimensionless);
            const int64_t k = integer_argument(s.left_node());
            if (result() != 0) return;
            return scaled_rule(s.right(), s.own(), k, true, &RuleSite::set_right, s);
        }
        case kLog:
            s.own() = Dimension{};
            if (known(s.left()) || known(s.right())) fail(kNeedDimensionless);
            return;
        default:
            return transcendental_rule(s);
    }
}

}  // namespace

void apply_dimension_rule(Node *node) {
    RuleSite site(node);
    switch (node->Kind) {
        case RelationNode:
            return relation_rule(site);
        case FunctionNode:
            return function_rule(site);
        case OperatorNode:
            switch (node->Index) {
                case kUnaryPlus:
                case kUnaryMinus:
                    return sign_rule(site);
                case kPlus:
                case kMinus:
                    return sum_rule(site);
                case kTimes:
                    return product_rule(site, false);
                case kDivide:
                    return product_rule(site, true);
            }
            return;
        default:
            return;  // numbers and variables keep their dimensions
    }
}

namespace {

// The recursion re-analyses both subtrees after every rule, which doubles
// its work per level.  Analysing a subtree twice running gives what the
// first analysis gave, so a subtree whose analysis has finished and whose
// root has not been written since is "settled" and its next analysis is
// skipped.  Only a parent's rule writes a node's dimension, so that is the
// one place that unsettles it.  The walk keeps its own stack: trees nest as
// deep as their texts are long.
class Analysis {
  public:
    explicit Analysis(Node *root) { flatten(root); }

    void run() {
        if (nodes_.empty()) return;
        std::vector<Frame> stack{{0, kFirstLeft}};
        while (!stack.empty()) {
            Frame &frame = stack.back();
            Entry &entry = nodes_[frame.node];
            if (result() != 0) {
                stack.pop_back();
                continue;
            }
            const Step step = frame.step;
            frame.step = static_cast<Step>(step + 1);
            int child = -1;
            switch (step) {
                case kFirstLeft:
                    if (entry.settled) {
                        stack.pop_back();
                        continue;
                    }
                    child = entry.left;
                    break;
                case kFirstRight:
                    child = entry.right;
                    break;
                case kRule:
                    apply_rule(entry);
                    if (result() != 0) continue;
                    child = entry.left;
                    break;
                case kSecondRight:
                    child = entry.right;
                    break;
                case kDone:
                    entry.settled = true;
                    stack.pop_back();
                    continue;
            }
            if (child >= 0) stack.push_back({child, kFirstLeft});
        }
    }

  private:
    enum Step : uint8_t { kFirstLeft, kFirstRight, kRule, kSecondRight, kDone };
    struct Frame {
        int node;
        Step step;
    };
    struct Entry {
        Node *node;
        int left = -1, right = -1;
        bool settled = false;
    };

    void flatten(Node *root) {
        if (!root) return;
        std::vector<int> pending{0};
        nodes_.push_back({root});
        while (!pending.empty()) {
            const int at = pending.back();
            pending.pop_back();
            Node *n = nodes_[at].node;
            // Numbers and variables have no rule and never change themselves.
            nodes_[at].settled = n->Kind == NumberNode || n->Kind == VariableNode;
            if (nodes_[at].settled) continue;
            if (n->Left) pending.push_back(nodes_[at].left = add(n->Left));
            if (n->Right) pending.push_back(nodes_[at].right = add(n->Right));
        }
    }

    int add(Node *n) {
        nodes_.push_back({n});
        return static_cast<int>(nodes_.size() - 1);
    }

    void apply_rule(Entry &entry) {
        Entry *left = entry.left >= 0 ? &nodes_[entry.left] : nullptr;
        Entry *right = entry.right >= 0 ? &nodes_[entry.right] : nullptr;
        const Dimension before_left = left ? left->node->Dim : Dimension{};
        const Dimension before_right = right ? right->node->Dim : Dimension{};
        apply_dimension_rule(entry.node);
        if (left && !dim_equal(before_left, left->node->Dim)) left->settled = is_leaf(*left);
        if (right && !dim_equal(before_right, right->node->Dim)) right->settled = is_leaf(*right);
    }

    static bool is_leaf(const Entry &e) { return e.node->Kind == NumberNode || e.node->Kind == VariableNode; }

    std::vector<Entry> nodes_;
};

}  // namespace

void analyse_dimensions(Node *root) {
    Analysis(root).run();
}

void set_variable_dimension(Node *root, std::string_view name, const Dimension &dimension) {
    std::vector<Node *> pending;
    if (root) pending.push_back(root);
    while (!pending.empty()) {
        Node *n = pending.back();
        pending.pop_back();
        if (n->Kind == VariableNode && n->name() == name) n->Dim = dimension;
        if (n->Right) pending.push_back(n->Right);
        if (n->Left) pending.push_back(n->Left);
    }
}

const Node *find_variable(const Node *root, std::string_view name) {
    std::vector<const Node *> pending;
    if (root) pending.push_back(root);
    while (!pending.empty()) {
        const Node *n = pending.back();
        pending.pop_back();
        if (n->Kind == VariableNode && n->name() == name) return n;
        if (n->Right) pending.push_back(n->Right);
        if (n->Left) pending.push_back(n->Left);
    }
    return nullptr;
}

}  // namespace solver
