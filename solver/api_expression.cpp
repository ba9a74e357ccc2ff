// Parsing, printing and questioning single expressions.
#include "expression.h"
#include "node.h"
#include "result.h"
#include "solver.h"
#include "textform.h"

using namespace solver;

namespace {

// No output text can be longer than the caller's buffer; nothing longer is made.
constexpr size_t kTextLimit = SOLVER_TEXT_BUFFER;

}  // namespace

extern "C" {

SOLVER_API Expression CreateExpression(const char *Text) {
    return parse_expression(Text ? Text : "");
}

SOLVER_API void DestroyExpression(Expression E) {
    free_tree(E);
}

SOLVER_API int8_t CheckExpression(Expression E) {
    return check_expression(E);
}

SOLVER_API void GetStrExpression(Expression E, char **Text) {
    write_text(Text, text_form(E, kTextLimit));
}

SOLVER_API void ExpressionVariables(Expression E, char **Names) {
    write_text(Names, join_list(variable_names(E)));
}

SOLVER_API void ExpressionVarsAndResult(Expression E, char **Vars, char **Results) {
    const VarsAndResults split = vars_and_results(E);
    write_text(Vars, join_list(split.vars));
    write_text(Results, join_list(split.results));
}

SOLVER_API void ExpressionVarValue(Expression E, const char *Name, char **Value) {
    write_text(Value, variable_value(E, Name ? Name : "", kTextLimit));
}

}  // extern "C"
