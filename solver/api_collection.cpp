// The exported systems of formulas: a thin shell over collection.h.
#include <algorithm>
#include <string>
#include <vector>

#include "calculation.h"
#include "collection.h"
#include "result.h"
#include "textform.h"

using namespace solver;

namespace {

std::string_view text_or_empty(const char *text) {
    return text ? std::string_view(text) : std::string_view();
}

// Splits the given and wanted names at every ";"; the empty text is one
// empty name, which no formula contains.
std::vector<std::string> split_names(std::string_view list) {
    std::vector<std::string> items;
    for (;;) {
        const size_t end = list.find(';');
        items.emplace_back(list.substr(0, end));
        if (end == std::string_view::npos) return items;
        list.remove_prefix(end + 1);
    }
}

}  // namespace

extern "C" {

SOLVER_API Collection CreateCollection(void) {
    return new SolverCollection;
}

SOLVER_API void DestroyCollection(Collection C) {
    delete C;
}

SOLVER_API void AddToCollection(Collection C, Expression E) {
    // A null handle is no expression: it is not kept.
    if (C && E) C->members.push_back(E);
}

SOLVER_API void DeleteFromCollection(Collection C, Expression E) {
    clear_result();
    if (!C) {
        set_result(kNotInCollection);
        return;
    }
    const auto it = std::find(C->members.begin(), C->members.end(), E);
    if (it == C->members.end()) {
        set_result(kNotInCollection);
        return;
    }
    C->members.erase(it);
}

SOLVER_API int32_t CollectionAmount(Collection C) {
    return C ? static_cast<int32_t>(C->members.size()) : 0;
}

SOLVER_API Expression GetExpressionByIndex(Collection C, int32_t Index) {
    clear_result();
    if (!C || Index < 0 || static_cast<size_t>(Index) >= C->members.size()) {
        set_result(kIndexOutOfRange);
        return nullptr;
    }
    return C->members[static_cast<size_t>(Index)];
}

SOLVER_API void CollectionVariables(Collection C, char **Names) {
    write_text(Names, C ? join_list(collection_variables(C->members)) : std::string());
}

SOLVER_API void CollectionVarsAndResult(Collection C, char **Vars, char **Results) {
    std::vector<std::string> vars, results;
    if (C) collection_vars_and_results(C->members, vars, results);
    write_text(Vars, join_list(vars));
    write_text(Results, join_list(results));
}

SOLVER_API void SetCollectionVariable(Collection C, const char *Name, const char *Value) {
    if (!C) return;
    if (!Name || !Value) {
        if (!C->members.empty()) clear_result();
        return;
    }
    for (Node *member : C->members) substitute(member, Name, Value);
}

SOLVER_API Collection CalcCollection(Collection C) {
    if (!C) {
        clear_result();
        return nullptr;
    }
    return calculate_collection(*C);
}

SOLVER_API Collection TransposeCollection(Collection C, const char *Given, const char *Wanted,
                                          char **Derivation) {
    if (!C) {
        clear_result();
        write_text(Derivation, "");
        return nullptr;
    }
    std::string derivation;
    Collection solved = transpose_collection(*C, split_names(text_or_empty(Given)),
                                             split_names(text_or_empty(Wanted)), derivation);
    write_text(Derivation, derivation);
    return solved;
}

SOLVER_API void CollectionVarValue(Collection C, const char *Name, char **Value) {
    std::string value;
    if (C && Name)
        for (const Node *member : C->members)
            if (!(value = variable_value(member, Name, SOLVER_TEXT_BUFFER - 1)).empty()) break;
    write_text(Value, value);
}

}  // extern "C"
