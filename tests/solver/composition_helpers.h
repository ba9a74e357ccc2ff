// Shared pieces of the composite-unit tests: an owning handle, text output
// through the caller's buffer, and a small catalogue of units.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "solver.h"

namespace tessarin_test {

struct CompositionDeleter {
    void operator()(SolverComposition *c) const { DestroyComposition(c); }
};
using CompositionPtr = std::unique_ptr<SolverComposition, CompositionDeleter>;

inline CompositionPtr make_composition(const std::string &mark) {
    return CompositionPtr(CreateComposition(mark.c_str()));
}

// Runs an export that writes a text into the caller's buffer.
template <class Write>
std::string read_text(Write write) {
    std::vector<char> buffer(SOLVER_TEXT_BUFFER, '\x7F');
    char *p = buffer.data();
    write(&p);
    return std::string(buffer.data());
}

// The units the tests build composite units from, as the program hands
// them over: mark=name=coefficient=exponents in the order L,M,T,I,Q,N,J,R,S.
inline const char *kUnitCatalogue =
    "м=Метр=1=1,0,0,0,0,0,0,0,0;"
    "км=Километр=1000=1,0,0,0,0,0,0,0,0;"
    "дм=Дециметр=0.1=1,0,0,0,0,0,0,0,0;"
    "дам=Декаметр=10=1,0,0,0,0,0,0,0,0;"
    "вер=Верста=1066.8=1,0,0,0,0,0,0,0,0;"
    "с=Секунда=1=0,0,1,0,0,0,0,0,0;"
    "мин=Минута=60=0,0,1,0,0,0,0,0,0;"
    "кг=Килограмм=1=0,1,0,0,0,0,0,0,0;"
    "Н=Ньютон=1=1,1,-2,0,0,0,0,0,0;"
    "Вт=Ватт=1=2,1,-3,0,0,0,0,0,0;"
    "К=Кельвин=1=0,0,0,0,1,0,0,0,0;"
    "ноль=Пустышка=0=0,0,0,0,0,0,0,0,1";

inline CompositionPtr corrected(const std::string &mark, const char *information = kUnitCatalogue) {
    CompositionPtr c = make_composition(mark);
    CorrectComposition(c.get(), information);
    return c;
}

}  // namespace tessarin_test
