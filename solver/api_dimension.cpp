// The dimension exports: a thin shell over dimension.h.
#include "collection.h"
#include "dimension.h"
#include "result.h"
#include "solver.h"

extern "C" {

SOLVER_API void SetExpressionVariableDimension(Expression E, const char *Name, const Dimension *D) {
    if (Name && D) solver::set_variable_dimension(E, Name, *D);
}

SOLVER_API void GetExpressionVariableDimension(Expression E, const char *Name, Dimension **D) {
    if (!Name || !D || !*D) return;
    if (const solver::Node *variable = solver::find_variable(E, Name)) **D = variable->Dim;
}

SOLVER_API void SetCollectionVariableDimension(Collection C, const char *Name, const Dimension *D) {
    if (!C || !Name || !D) return;
    for (Expression E : C->members) solver::set_variable_dimension(E, Name, *D);
}

SOLVER_API void GetCollectionVariableDimension(Collection C, const char *Name, Dimension **D) {
    if (!C || !Name || !D || !*D) return;
    for (Expression E : C->members) {
        if (const solver::Node *variable = solver::find_variable(E, Name)) {
            **D = variable->Dim;
            return;
        }
    }
}

SOLVER_API void DimensingExpression(Expression E) {
    solver::clear_result();
    solver::analyse_dimensions(E);
}

SOLVER_API void DimensingCollection(Collection C) {
    solver::clear_result();
    if (!C) return;
    for (Expression E : C->members) {
        solver::analyse_dimensions(E);
        if (solver::result() != 0) return;
    }
}

SOLVER_API int32_t IsEqualDimensions(const Dimension *A, const Dimension *B) {
    return solver::dim_equal(A ? *A : Dimension{}, B ? *B : Dimension{}) ? -1 : 0;
}

SOLVER_API int32_t IsWithoutDimension(const Dimension *D) {
    return !D || solver::dim_zero(*D) ? -1 : 0;
}

SOLVER_API void WithoutDimension(Dimension **D) {
    if (D && *D) **D = Dimension{};
}

}  // extern "C"
