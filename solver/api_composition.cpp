// The composite-unit exports: a thin shell over composition.h and unitnames.h.
#include "composition.h"
#include "result.h"
#include "solver.h"
#include "unitnames.h"

using solver::write_text;

extern "C" {

SOLVER_API void PrefixList(char **Names) {
    write_text(Names, solver::prefix_list());
}

SOLVER_API Composition CreateComposition(const char *Mark) {
    solver::clear_result();
    auto *composition = new SolverComposition;
    if (Mark) composition->items = solver::parse_composition(Mark);
    return composition;
}

SOLVER_API void DestroyComposition(Composition C) {
    delete C;
}

SOLVER_API void CorrectComposition(Composition C, const char *Information) {
    if (C) solver::correct_composition(C->items, Information ? Information : "");
}

SOLVER_API void FormCompositionMark(Composition C, char **Mark) {
    write_text(Mark, C ? solver::composition_mark(C->items) : std::string());
}

SOLVER_API void FormCompositionName(Composition C, char **Name) {
    write_text(Name, C ? solver::composition_name(C->items) : std::string());
}

SOLVER_API long double FormCompositionMultiplier(Composition C) {
    return C ? solver::composition_multiplier(C->items) : 1.0L;
}

SOLVER_API void DimensingComposition(Composition C, Dimension **D) {
    if (C && D && *D) **D = solver::composition_dimension(C->items);
}

SOLVER_API uint8_t GetCompositionPrefix(Composition C, const char *Mark) {
    const solver::CompositionItem *item = C && Mark ? solver::find_item(C->items, Mark) : nullptr;
    return item ? item->prefix : 0;
}

SOLVER_API void SetCompositionPrefix(Composition C, const char *Mark, uint8_t Prefix) {
    // An index beyond the table would leave the item with no prefix to form.
    if (!C || !Mark || Prefix >= solver::kPrefixCount) return;
    if (solver::CompositionItem *item = solver::find_item(C->items, Mark)) item->prefix = Prefix;
}

SOLVER_API void CompositionUnitList(Composition C, char **Marks) {
    write_text(Marks, C ? solver::composition_unit_list(C->items) : std::string());
}

}  // extern "C"
