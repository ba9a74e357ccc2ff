// The process-wide result register and the bounded writing of output texts.
#pragma once

#include <cstdint>
#include <string_view>

#include "solver.h"

namespace solver {

uint16_t result();
void set_result(uint16_t code);
inline void clear_result() { set_result(0); }

// Result codes named where the engine sets them.
enum ResultCode : uint16_t {
    kEmptyExpression = 1,
    kBadNumber = 4,
    kRelationInSubstitution = 27,
    kBadArgument = 28,
    kDivisionByZero = 29,
    kNoRelation = 31,
    kVariableRepeated = 32,
    kNoResultVariable = 33,
    kUnordered = 34,
    kUnsolvable = 35,
    kNeedDimensionless = 36,
    kDimensionMismatch = 37,
    kFractionalDimension = 38,
    kValueUndefined = 39,
    kNotInteger = 40,
    kUnderdetermined = 41,
    kZeroPower = 42,
    kBadFormat = 43,
    kNotInCollection = 44,
    kIndexOutOfRange = 45,
    kAllSources = 46,
};

// Writes `text` and a NUL through the caller's pointer, cut so that the whole
// never exceeds SOLVER_TEXT_BUFFER bytes.  A null address or pointer writes nothing.
void write_text(char **out, std::string_view text);

}  // namespace solver
