#include "textform.h"

#include <unordered_map>
#include <unordered_set>

#include "tables.h"

namespace solver {

namespace {

// A hasher of our own keeps the tables' code internal to the library: an
// instantiation over standard types alone would be exported with them.
struct NameHash {
    size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
};

bool is_operator_node(const Node *n) {
    return n && n->Kind == OperatorNode && n->Index < kOperators.size();
}

// Whether an operand of operator `o` needs brackets around it.
bool bracketed(const Node *operand, const OperatorRow &o, bool right) {
    if (!is_operator_node(operand)) return false;
    const OperatorRow &inner = kOperators[operand->Index];
    return inner.unary || inner.priority < o.priority || (right && !o.associative);
}

// The text is written from an explicit stack of what is still to come, so
// that trees of any depth print without deep recursion.
class TextWriter {
  public:
    explicit TextWriter(size_t limit) : limit_(limit) {}

    std::string write(const Node *root) {
        pending_.push_back({root, {}});
        while (!pending_.empty() && text_.size() < limit_) {
            const Piece piece = pending_.back();
            pending_.pop_back();
            if (piece.node)
                expand(piece.node);
            else
                text_ += piece.literal;
        }
        return std::move(text_);
    }

  private:
    struct Piece {
        const Node *node;
        std::string_view literal;
    };

    // Pieces are pushed in reverse of their order in the text.
    void later(std::string_view literal) { pending_.push_back({nullptr, literal}); }
    void later(const Node *n) {
        if (n) pending_.push_back({n, {}});
    }
    void later(const Node *n, bool brackets) {
        if (brackets) later(")");
        later(n);
        if (brackets) later("(");
    }

    void expand(const Node *n) {
        switch (n->Kind) {
            case NumberNode:
            case VariableNode:
                text_ += n->name();
                break;
            case FunctionNode:
                function(n);
                break;
            case OperatorNode:
                operation(n);
                break;
            case RelationNode:
                later(n->Right);
                if (n->Index < kRelations.size()) later(kRelations[n->Index].text);
                later(n->Left);
                break;
            default:
                break;
        }
    }

    void function(const Node *n) {
        if (n->Index >= kFunctions.size()) return;
        const FunctionRow &f = kFunctions[n->Index];
        later(")");
        if (f.arguments == 2) {
            later(n->Right);
            later(",");
        }
        later(n->Left);
        later("(");
        text_ += f.name;
    }

    void operation(const Node *n) {
        if (n->Index >= kOperators.size()) return;
        const OperatorRow &o = kOperators[n->Index];
        later(n->Right, bracketed(n->Right, o, true));
        later(std::string_view(&o.character, 1));
        if (!o.unary) later(n->Left, bracketed(n->Left, o, false));
    }

    size_t limit_;
    std::string text_;
    std::vector<Piece> pending_;
};

// Every variable node, Left before Right.
template <class Visit>
void for_each_variable(const Node *root, Visit &&visit) {
    std::vector<const Node *> pending;
    if (root) pending.push_back(root);
    while (!pending.empty()) {
        const Node *n = pending.back();
        pending.pop_back();
        if (n->Kind == VariableNode) visit(n);
        if (n->Right) pending.push_back(n->Right);
        if (n->Left) pending.push_back(n->Left);
    }
}

bool has_variable(const Node *root, std::string_view name) {
    bool found = false;
    for_each_variable(root, [&](const Node *n) { found = found || n->name() == name; });
    return found;
}

}  // namespace

std::string text_form(const Node *root, size_t limit) {
    return TextWriter(limit).write(root);
}

std::vector<const Node *> expression_sides(const Node *root) {
    std::vector<const Node *> sides, pending;
    if (root) pending.push_back(root);
    while (!pending.empty()) {
        const Node *n = pending.back();
        pending.pop_back();
        if (n->Kind != RelationNode) {
            sides.push_back(n);
            continue;
        }
        if (n->Right) pending.push_back(n->Right);
        if (n->Left) pending.push_back(n->Left);
    }
    return sides;
}

std::vector<std::string> variable_names(const Node *root) {
    std::vector<std::string> names;
    std::unordered_set<std::string_view, NameHash> seen;  // views into the tree's nodes
    for_each_variable(root, [&](const Node *n) {
        if (seen.insert(n->name()).second) names.emplace_back(n->name());
    });
    return names;
}

VarsAndResults vars_and_results(const Node *root) {
    const std::vector<std::string> all = variable_names(root);
    std::unordered_map<std::string_view, size_t, NameHash> position;
    for (size_t i = 0; i < all.size(); ++i) position.emplace(all[i], i);
    std::vector<bool> moved(all.size(), false);
    VarsAndResults split;
    for (const Node *side : expression_sides(root)) {
        if (side->Kind != VariableNode) continue;
        const auto at = position.find(side->name());
        if (at == position.end() || moved[at->second]) continue;
        moved[at->second] = true;
        split.results.push_back(all[at->second]);
    }
    for (size_t i = 0; i < all.size(); ++i)
        if (!moved[i]) split.vars.push_back(all[i]);
    return split;
}

std::string variable_value(const Node *root, std::string_view name, size_t limit) {
    if (!has_variable(root, name)) return {};
    // The last side that is not the variable itself stands.
    const std::vector<const Node *> sides = expression_sides(root);
    for (auto side = sides.rbegin(); side != sides.rend(); ++side)
        if ((*side)->name() != name) return text_form(*side, limit);
    return {};
}

std::string join_list(const std::vector<std::string> &items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) text += ';';
        text += items[i];
    }
    return text;
}

std::vector<std::string> split_list(std::string_view text) {
    std::vector<std::string> items;
    if (text.empty()) return items;
    for (size_t start = 0;;) {
        const size_t end = text.find(';', start);
        items.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return items;
}

}  // namespace solver
