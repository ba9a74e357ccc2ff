// The expression tree shared by every part of the engine.
#pragma once

#include <cstdint>
#include <string_view>

#include "solver.h"

namespace solver {

enum NodeKind : uint8_t {
    NumberNode = 0,
    VariableNode = 1,
    FunctionNode = 2,
    OperatorNode = 3,
    RelationNode = 4,
};

constexpr uint8_t kNoIndex = 255;
constexpr int kNameCapacity = 24;  // longer names and number texts are cut

}  // namespace solver

// One node of an expression tree; an Expression handle is its root's address.
// A node owns its children.  Trees may be tens of thousands of levels deep,
// so whatever walks a whole tree either iterates or runs on a deep stack
// (see deep_stack.h).
struct SolverNode {
    uint8_t Kind = solver::NumberNode;
    uint8_t Index = solver::kNoIndex;
    char Name[solver::kNameCapacity + 1] = {};
    uint16_t Level = 0;
    SolverNode *Left = nullptr;
    SolverNode *Right = nullptr;
    Dimension Dim = {};

    std::string_view name() const { return Name; }
    void set_name(std::string_view text);
};

namespace solver {

using Node = SolverNode;

// A fresh node: kind 0, index 255, empty name, level 0, no children, zero dimension.
Node *new_node();
Node *new_node(NodeKind kind, uint8_t index, std::string_view name = {}, uint16_t level = 0);

// Frees a whole tree without recursion; null is ignored.
void free_tree(Node *root);

// A deep copy, without recursion; null gives null.
Node *copy_tree(const Node *root);

// Number of levels of a tree (0 for null), without recursion.
size_t tree_depth(const Node *root);

}  // namespace solver
