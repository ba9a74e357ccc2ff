#include "node.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

void SolverNode::set_name(std::string_view text) {
    const size_t n = std::min<size_t>(text.size(), solver::kNameCapacity);
    if (n) std::memcpy(Name, text.data(), n);  // an empty view may hold no address at all
    Name[n] = '\0';
}

namespace solver {

Node *new_node() { return new Node; }

Node *new_node(NodeKind kind, uint8_t index, std::string_view name, uint16_t level) {
    Node *n = new Node;
    n->Kind = kind;
    n->Index = index;
    n->set_name(name);
    n->Level = level;
    return n;
}

void free_tree(Node *root) {
    std::vector<Node *> pending;
    if (root) pending.push_back(root);
    while (!pending.empty()) {
        Node *n = pending.back();
        pending.pop_back();
        if (n->Left) pending.push_back(n->Left);
        if (n->Right) pending.push_back(n->Right);
        delete n;
    }
}

Node *copy_tree(const Node *root) {
    if (!root) return nullptr;
    // Each entry: the source node and the slot in the copy that receives it.
    Node *result = nullptr;
    std::vector<std::pair<const Node *, Node **>> pending{{root, &result}};
    while (!pending.empty()) {
        auto [src, slot] = pending.back();
        pending.pop_back();
        Node *dst = new Node(*src);
        dst->Left = dst->Right = nullptr;
        *slot = dst;
        if (src->Left) pending.emplace_back(src->Left, &dst->Left);
        if (src->Right) pending.emplace_back(src->Right, &dst->Right);
    }
    return result;
}

size_t tree_depth(const Node *root) {
    size_t deepest = 0;
    std::vector<std::pair<const Node *, size_t>> pending;
    if (root) pending.emplace_back(root, 1);
    while (!pending.empty()) {
        auto [n, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        if (n->Left) pending.emplace_back(n->Left, depth + 1);
        if (n->Right) pending.emplace_back(n->Right, depth + 1);
    }
    return deepest;
}

}  // namespace solver
