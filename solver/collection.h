// A collection: an ordered list of expressions that it owns.
#pragma once

#include <vector>

#include "node.h"

struct SolverCollection {
    std::vector<SolverNode *> members;
};
