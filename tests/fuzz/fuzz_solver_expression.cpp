// Raw bytes as a formula text: parse, print, list and question the variables,
// check the relations and destroy.  Nothing may crash, overflow or leak.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "solver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SolverInit();
    const std::string text(reinterpret_cast<const char *>(data), size);  // stops at a NUL, as callers do
    std::vector<char> buffer(SOLVER_TEXT_BUFFER), second(SOLVER_TEXT_BUFFER);
    char *out = buffer.data();
    char *other = second.data();
    Expression e = CreateExpression(text.c_str());
    GetStrExpression(e, &out);
    ExpressionVariables(e, &out);
    const std::string names(buffer.data());
    const std::string first = names.substr(0, names.find(';'));
    ExpressionVarsAndResult(e, &out, &other);
    ExpressionVarValue(e, first.c_str(), &out);
    CheckExpression(e);
    DestroyExpression(e);
    long double value = 0;
    StrToVal(text.c_str(), &value);
    ValToStr(value, &out);
    SolverDone();
    return 0;
}
