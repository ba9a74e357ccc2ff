// Solving a relation for one of its variables by symbolic inversion.
#pragma once

#include <string_view>

#include "node.h"

namespace solver {

// A copy of `root`, owned by the caller, in which `name` stands alone on one
// side (null for null).  On failure, code 31 (no relation), 32 (the name
// occurs more than once) or 33 (it does not occur) is set and the copy is
// unchanged; otherwise the result code is left as it was.
Node *transpose(const Node *root, std::string_view name);

}  // namespace solver
