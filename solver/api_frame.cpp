// The library's lifetime, its result register and its number utilities.
#include "numbers.h"
#include "result.h"
#include "solver.h"
#include "tables.h"

using namespace solver;

extern "C" {

SOLVER_API void SolverInit(void) {
    clear_result();
}

// The register is a plain value; there is nothing to free.
SOLVER_API void SolverDone(void) {}

SOLVER_API uint16_t SolverLastResult(void) {
    return result();
}

SOLVER_API void ValToStr(long double X, char **Text) {
    write_text(Text, format_value(X));
}

SOLVER_API void StrToVal(const char *Text, long double *Value) {
    bool failed = false;
    const long double value = parse_value(Text ? Text : "", failed);
    if (Value) *Value = value;
    if (failed) set_result(kBadNumber);
}

SOLVER_API int64_t ExtInteger(long double X) {
    return ext_integer(X);
}

SOLVER_API int32_t IsInteger(long double X) {
    return is_integer(X) ? -1 : 0;
}

SOLVER_API void StrLower(const char *Text, char **Lowered) {
    write_text(Lowered, lower_cyrillic(Text ? Text : ""));
}

// An index beyond the table writes the empty text.
SOLVER_API void FunctionName(uint8_t Index, char **Name) {
    write_text(Name, Index < kFunctions.size() ? kFunctions[Index].name : std::string_view());
}

}  // extern "C"
