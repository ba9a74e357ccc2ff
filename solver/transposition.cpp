#include "transposition.h"

#include <utility>
#include <vector>

#include "result.h"
#include "tables.h"

namespace solver {

namespace {

using Slot = Node **;

// The sides of a tree (its maximal subtrees that are not relations, in order)
// as the slots that hold them, and its relation nodes in pre-order.
struct Sides {
    std::vector<Slot> slots;
    std::vector<Node *> relations;
};

Sides sides_of(Slot root) {
    Sides sides;
    std::vector<Slot> pending{root};
    while (!pending.empty()) {
        Slot slot = pending.back();
        pending.pop_back();
        Node *n = *slot;
        if (!n) continue;
        if (n->Kind == RelationNode) {
            sides.relations.push_back(n);
            pending.push_back(&n->Right);
            pending.push_back(&n->Left);
        } else {
            sides.slots.push_back(slot);
        }
    }
    return sides;
}

// Where a name occurs: how often (counting stops at two), in which side, and
// the path from that side's root down to the first occurrence.
struct Occurrence {
    int count = 0;
    size_t side = 0;
    std::vector<Node *> path;
};

Occurrence find_variable(const std::vector<Slot> &sides, std::string_view name) {
    Occurrence found;
    std::vector<Node *> path;
    std::vector<std::pair<Node *, size_t>> pending;  // node and its depth below the side's root
    for (size_t side = 0; side < sides.size() && found.count < 2; ++side) {
        pending.emplace_back(*sides[side], 0);
        while (!pending.empty() && found.count < 2) {
            auto [n, depth] = pending.back();
            pending.pop_back();
            path.resize(depth);
            path.push_back(n);
            if (n->Kind == VariableNode && n->name() == name && found.count++ == 0) {
                found.side = side;
                found.path = path;
            }
            if (n->Right) pending.emplace_back(n->Right, depth + 1);
            if (n->Left) pending.emplace_back(n->Left, depth + 1);
        }
        pending.clear();
    }
    return found;
}

// Nodes the tables know how to invert; anything else on the path (which no
// parsed formula produces) makes the variable impossible to bring out.
bool invertible(const Node *n) {
    if (n->Kind == FunctionNode) return n->Index < kFunctions.size();
    if (n->Kind == OperatorNode) return n->Index < kOperators.size();
    return false;
}

Node *made(NodeKind kind, uint8_t index, Node *left, Node *right) {
    Node *n = new_node(kind, index, "");  // a named empty text: set_name copies from it
    n->Left = left;
    n->Right = right;
    return n;
}

// Wraps every other side S as known_first ? op(S, Q) : op(Q, S), each with
// its own copy of Q; the last one takes Q itself, which is freed when there
// is no other side at all.
void carry_over(const std::vector<Slot> &others, NodeKind kind, uint8_t op, bool known_first, Node *q) {
    for (size_t i = 0; i < others.size(); ++i) {
        Node *operand = i + 1 == others.size() ? std::exchange(q, nullptr) : copy_tree(q);
        Node *side = *others[i];
        *others[i] = known_first ? made(kind, op, side, operand) : made(kind, op, operand, side);
    }
    free_tree(q);
}

// One inversion step: peels `v` (which holds the variable in its child
// `next`) off the variable side and applies its inverse to every other side.
// Returns whether the relations have to be mirrored.
bool peel(Node *v, const Node *next, const std::vector<Slot> &others) {
    const bool in_left = next == v->Left;
    Node *other = in_left ? v->Right : v->Left;
    bool mirrored = false;
    if (v->Kind == FunctionNode) {
        const FunctionRow &f = kFunctions[v->Index];
        if (f.arguments == 1) {
            for (Slot s : others) *s = made(FunctionNode, f.inverse[0], *s, nullptr);
            free_tree(other);
        } else {
            const int k = in_left ? 0 : 1;
            carry_over(others, FunctionNode, f.inverse[k], f.known_first[k], other);
        }
    } else {
        const OperatorRow &o = kOperators[v->Index];
        if (v->Index == kUnaryMinus) {
            for (Slot s : others) *s = made(OperatorNode, kUnaryMinus, nullptr, *s);
            mirrored = true;
        }
        if (o.unary) {
            free_tree(other);
        } else if (in_left) {
            carry_over(others, OperatorNode, o.inverse_left, true, other);
        } else {
            carry_over(others, OperatorNode, o.inverse_right, o.known_first_right, other);
        }
    }
    v->Left = v->Right = nullptr;
    delete v;
    return mirrored;
}

}  // namespace

Node *transpose(const Node *root, std::string_view name) {
    if (!root) return nullptr;
    Node *c = copy_tree(root);
    Sides sides = sides_of(&c);
    if (sides.relations.empty()) {
        set_result(kNoRelation);
        return c;
    }
    Occurrence found = find_variable(sides.slots, name);
    if (found.count > 1) {
        set_result(kVariableRepeated);
        return c;
    }
    bool invertible_path = found.count == 1;
    const size_t steps = invertible_path ? found.path.size() - 1 : 0;
    for (size_t i = 0; invertible_path && i < steps; ++i) invertible_path = invertible(found.path[i]);
    if (!invertible_path) {
        set_result(kNoResultVariable);
        return c;
    }

    const Slot variable_side = sides.slots[found.side];
    std::vector<Slot> others = sides.slots;
    others.erase(others.begin() + static_cast<std::ptrdiff_t>(found.side));
    bool mirrored = false;
    for (size_t i = 0; i < steps; ++i) {
        Node *next = found.path[i + 1];
        mirrored ^= peel(found.path[i], next, others);
        *variable_side = next;
    }
    // Negating both sides reverses every relation; mirroring is its own
    // inverse, so only the parity of the negations counts.
    if (mirrored)
        for (Node *relation : sides.relations)
            if (relation->Index < kRelations.size()) relation->Index = kRelations[relation->Index].mirror;

    if (c->Kind == RelationNode && c->Right && c->Right->Kind == VariableNode) std::swap(c->Left, c->Right);
    return c;
}

}  // namespace solver
