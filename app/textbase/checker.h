// What a careful author checks in a base before handing it out: formulas
// that parse, ties and units that agree, consistent dimensions, no clashes.
#pragma once

#include <string>
#include <vector>

#include "textform.h"

namespace textbase {

// One line per problem of the open base, each naming its object: by its
// file and array position when `origins` (from the import) is given, else by
// its position in the base.  The Solver library must be initialised.
std::vector<std::string> check_base(const Origins *origins = nullptr);

// The program's text for a Solver result code, in UTF-8.
std::string solver_message(unsigned code);

}  // namespace textbase
