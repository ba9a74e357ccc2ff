// The exported substitution, calculation and transposition of one expression.
#include "calculation.h"
#include "deep_stack.h"
#include "result.h"
#include "transposition.h"

using namespace solver;

extern "C" {

SOLVER_API void SetExpressionVariable(Expression E, const char *Name, const char *Value) {
    if (!E || !Name || !Value) {
        clear_result();
        return;
    }
    substitute(E, Name, Value);
}

SOLVER_API Expression CalcExpression(Expression E) {
    clear_result();
    return simplify(E);
}

SOLVER_API Expression TransposeExpression(Expression E, const char *Name) {
    return transpose(E, Name ? Name : "");
}

}  // extern "C"
