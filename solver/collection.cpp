#include "collection.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_set>

#include "calculation.h"
#include "deep_stack.h"
#include "result.h"
#include "tables.h"
#include "textform.h"
#include "transposition.h"

SolverCollection::~SolverCollection() {
    std::unordered_set<SolverNode *> destroyed;
    for (auto it = members.rbegin(); it != members.rend(); ++it)
        if (destroyed.insert(*it).second) solver::free_tree(*it);
}

namespace solver {

namespace {

bool is_variable(const Node *n, std::string_view name) {
    return n && n->Kind == VariableNode && n->name() == name;
}

bool contains(const Node *root, std::string_view name) {
    std::vector<const Node *> pending{root};
    while (!pending.empty()) {
        const Node *n = pending.back();
        pending.pop_back();
        if (!n) continue;
        if (is_variable(n, name)) return true;
        pending.push_back(n->Right);
        pending.push_back(n->Left);
    }
    return false;
}

bool forms_side(const Node *root, std::string_view name) {
    const auto sides = expression_sides(root);
    return std::any_of(sides.begin(), sides.end(), [&](const Node *side) { return is_variable(side, name); });
}

// What a solved formula gives its variable: the right side when the left one
// is the variable, otherwise the left side.
const Node *value_side(const Node *formula) {
    if (formula->Kind != RelationNode) return nullptr;
    return formula->Left && formula->Left->Kind == VariableNode ? formula->Right : formula->Left;
}

// A derivation text is kept no longer than any caller's buffer can show:
// chains of formulas would otherwise make it grow quadratically.
constexpr size_t kLimit = SOLVER_TEXT_BUFFER - 1;

void append_bounded(std::string &text, std::string_view more) {
    if (text.size() < kLimit) text.append(more.substr(0, kLimit - text.size()));
}

// The backward search of a system for one wanted variable.
class Search {
  public:
    Search(const std::vector<Node *> &members, const std::vector<std::string> &given)
        : members_(members), used_(members.size(), false), given_(given.begin(), given.end()) {}

    // A formula that expresses `wanted` by given variables (owned by the
    // caller), or null; `derivation` receives the chain that led to it.
    Node *solve(std::string_view wanted, std::string &derivation) {
        derivation.clear();
        for (size_t i = 0; i < members_.size() && !failed_; ++i) {
            if (used_[i] || !contains(members_[i], wanted)) continue;
            if (Node *formula = solve_with(i, wanted, derivation)) return formula;
        }
        return nullptr;
    }

    // A transposition failed somewhere: the whole search is lost.
    bool failed() const { return failed_; }

  private:
    Node *solve_with(size_t i, std::string_view wanted, std::string &derivation) {
        const Node *member = members_[i];
        Node *formula = forms_side(member, wanted) ? copy_tree(member) : transpose(member, wanted);
        derivation = text_form(formula, kLimit);
        if (result() != 0) {
            failed_ = true;
            free_tree(formula);
            return nullptr;
        }
        used_[i] = true;
        bool expressed = true;
        for (const std::string &unknown : variable_names(formula)) {
            if (unknown == wanted || given_.count(unknown)) continue;
            std::string part;
            Node *solved = solve(unknown, part);
            append_bounded(derivation, "  -> ");
            append_bounded(derivation, part);
            const Node *value = solved ? value_side(solved) : nullptr;
            if (value) replace_variable(formula, unknown, value);
            free_tree(solved);
            if (!value) {
                expressed = false;
                break;
            }
        }
        used_[i] = false;
        if (!expressed) {
            free_tree(formula);
            derivation.clear();
            return nullptr;
        }
        const std::string final_text = text_form(formula, kLimit);
        if (final_text != derivation) {
            append_bounded(derivation, "  => ");
            append_bounded(derivation, final_text);
        }
        return formula;
    }

    const std::vector<Node *> &members_;
    std::vector<bool> used_;
    std::unordered_set<std::string> given_;
    bool failed_ = false;
};

bool all_given(const Node *member, const std::unordered_set<std::string> &given) {
    const auto names = variable_names(member);
    return std::all_of(names.begin(), names.end(),
                       [&](const std::string &name) { return given.count(name) > 0; });
}

}  // namespace

std::vector<std::string> collection_variables(const std::vector<Node *> &members) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const Node *member : members)
        for (std::string &name : variable_names(member))
            if (seen.insert(name).second) names.push_back(std::move(name));
    return names;
}

void collection_vars_and_results(const std::vector<Node *> &members, std::vector<std::string> &vars,
                                 std::vector<std::string> &results) {
    std::vector<std::string> others;
    std::unordered_set<std::string> seen_results, seen_others;
    for (const Node *member : members) {
        VarsAndResults split = vars_and_results(member);
        for (std::string &name : split.results)
            if (seen_results.insert(name).second) results.push_back(std::move(name));
        for (std::string &name : split.vars)
            if (seen_others.insert(name).second) others.push_back(std::move(name));
    }
    for (std::string &name : others)
        if (!seen_results.count(name)) vars.push_back(std::move(name));
}

SolverCollection *transpose_collection(const SolverCollection &c, const std::vector<std::string> &given,
                                       const std::vector<std::string> &wanted, std::string &derivation) {
    clear_result();
    derivation.clear();
    auto solved = std::make_unique<SolverCollection>();
    const std::unordered_set<std::string> given_set(given.begin(), given.end());
    for (const Node *member : c.members) {
        if (all_given(member, given_set)) {
            set_result(kAllSources);
            return solved.release();
        }
    }
    // The search recurses once per member on its path.
    run_deep(c.members.size(), [&] {
        std::vector<std::string> derivations;
        for (const std::string &name : wanted) {
            Search search(c.members, given);
            std::string text;
            Node *formula = search.solve(name, text);
            derivations.push_back(std::move(text));
            if (!formula || result() != 0) {
                free_tree(formula);
                set_result(kUnsolvable);
                for (Node *f : solved->members) free_tree(f);
                solved->members.clear();
                break;
            }
            solved->members.push_back(formula);
        }
        for (size_t i = 0; i < derivations.size(); ++i) {
            if (i) append_bounded(derivation, ";");
            append_bounded(derivation, derivations[i]);
        }
    });
    return solved.release();
}

namespace {

// Combines the relations of a member for the result code only: relations of
// opposite directions make it unordered (34).
void check_order(const Node *member) {
    int8_t current = 0;
    std::vector<const Node *> pending{member};
    while (!pending.empty()) {
        const Node *n = pending.back();
        pending.pop_back();
        if (!n || n->Kind != RelationNode) continue;
        const int8_t order = n->Index < kRelations.size() ? kRelations[n->Index].order : 0;
        if (order != 0) {
            if (current != 0 && (order < 0) != (current < 0)) {
                set_result(kUnordered);
                return;
            }
            if (current == 0 || std::abs(order) > std::abs(current)) current = order;
        }
        pending.push_back(n->Right);
        pending.push_back(n->Left);
    }
}

// Per member and side, the names of the variables it holds; kept up to date
// as values are passed around, so that finding where a name is defined does
// not walk every tree once per name.
struct SideNames {
    const Node *side;
    std::unordered_set<std::string> names;
};

std::vector<SideNames> index_member(const Node *member) {
    std::vector<SideNames> index;
    for (const Node *side : expression_sides(member)) {
        const auto names = variable_names(side);
        index.push_back({side, {names.begin(), names.end()}});
    }
    return index;
}

bool uses(const std::vector<SideNames> &sides, const std::string &name) {
    return std::any_of(sides.begin(), sides.end(),
                       [&](const SideNames &side) { return side.names.count(name) > 0; });
}

// The member that defines `name` for another member that uses it: the
// latest member with `name` as a whole side, once some member also uses it.
std::optional<size_t> defining_member(const std::vector<std::vector<SideNames>> &index,
                                      const std::string &name) {
    std::optional<size_t> candidate, user;
    for (size_t i = 0; i < index.size(); ++i) {
        for (const SideNames &side : index[i]) {
            if (is_variable(side.side, name))
                candidate = i;
            else if (!user && side.names.count(name))
                user = i;
            if (candidate && user) return candidate != user ? candidate : std::nullopt;
        }
    }
    return std::nullopt;
}

// The value a defining member gives: its first number side, otherwise its
// first side other than the name itself.
const Node *defined_value(const std::vector<SideNames> &sides, const std::string &name) {
    for (const SideNames &side : sides)
        if (side.side->Kind == NumberNode) return side.side;
    for (const SideNames &side : sides)
        if (!is_variable(side.side, name)) return side.side;
    return nullptr;
}

}  // namespace

SolverCollection *calculate_collection(const SolverCollection &c) {
    clear_result();
    auto work = std::make_unique<SolverCollection>();
    for (const Node *member : c.members) work->members.push_back(simplify(member));
    std::vector<Node *> &members = work->members;

    std::vector<std::vector<SideNames>> index;
    for (const Node *member : members) index.push_back(index_member(member));
    for (const std::string &name : collection_variables(members)) {
        const auto j = defining_member(index, name);
        if (!j) continue;
        check_order(members[*j]);
        const Node *value = defined_value(index[*j], name);
        if (!value) continue;
        for (size_t i = 0; i < members.size(); ++i) {
            if (i == *j || !uses(index[i], name)) continue;
            replace_variable(members[i], name, value);
            index[i] = index_member(members[i]);
        }
    }

    auto calculated = std::make_unique<SolverCollection>();
    for (const Node *member : members) calculated->members.push_back(simplify(member));
    return calculated.release();
}

}  // namespace solver
