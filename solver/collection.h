// A collection: an ordered list of expressions that it owns.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "node.h"

struct SolverCollection {
    std::vector<SolverNode *> members;

    SolverCollection() = default;
    SolverCollection(const SolverCollection &) = delete;
    SolverCollection &operator=(const SolverCollection &) = delete;
    // Destroys the members from the last to the first; a handle added twice
    // is destroyed once.
    ~SolverCollection();
};

namespace solver {

// Solves the system for every wanted name (by the given ones), one formula
// per wanted name in their order, and writes the derivation texts, joined
// by ";".  Clears the result code; on failure (46, 35) the collection is empty.
SolverCollection *transpose_collection(const SolverCollection &c, const std::vector<std::string> &given,
                                       const std::vector<std::string> &wanted, std::string &derivation);

// Calculates every member, passing the value that one member defines into
// the others.  Clears the result code; sets 28, 29 or 34.
SolverCollection *calculate_collection(const SolverCollection &c);

// The variables of all members, each once, in order of first appearance.
std::vector<std::string> collection_variables(const std::vector<SolverNode *> &members);

// The result variables of all members (each once, in order of first
// appearance) and the other variables that are not among them.
void collection_vars_and_results(const std::vector<SolverNode *> &members, std::vector<std::string> &vars,
                                 std::vector<std::string> &results);

}  // namespace solver
