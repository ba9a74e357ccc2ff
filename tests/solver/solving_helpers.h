// Owning handles and text readers for tests that drive the engine through
// its C interface.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "solver.h"

namespace solving {

struct ExpressionDeleter {
    void operator()(SolverNode *e) const { DestroyExpression(e); }
};
using OwnedExpression = std::unique_ptr<SolverNode, ExpressionDeleter>;

struct CollectionDeleter {
    void operator()(SolverCollection *c) const { DestroyCollection(c); }
};
using OwnedCollection = std::unique_ptr<SolverCollection, CollectionDeleter>;

inline OwnedExpression parse(const std::string &text) {
    return OwnedExpression(CreateExpression(text.c_str()));
}

// Reads one output text through a buffer of the caller's size.
template <class Write>
std::string read_text(Write write) {
    std::vector<char> buffer(SOLVER_TEXT_BUFFER);
    char *out = buffer.data();
    write(&out);
    return out;
}

inline std::string text_of(Expression e) {
    return read_text([&](char **out) { GetStrExpression(e, out); });
}

inline std::string value_of(Expression e, const std::string &name) {
    return read_text([&](char **out) { ExpressionVarValue(e, name.c_str(), out); });
}

inline long double number_of(const std::string &text) {
    long double value = 0;
    StrToVal(text.c_str(), &value);
    return value;
}

using Substitutions = std::vector<std::pair<std::string, std::string>>;

inline void substitute_all(Expression e, const Substitutions &values) {
    for (const auto &[name, value] : values) SetExpressionVariable(e, name.c_str(), value.c_str());
}

// A collection of the parsed formula texts.
inline OwnedCollection collection_of(const std::vector<std::string> &formulas) {
    OwnedCollection c(CreateCollection());
    for (const std::string &f : formulas) AddToCollection(c.get(), CreateExpression(f.c_str()));
    return c;
}

inline std::vector<std::string> member_texts(Collection c) {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < CollectionAmount(c); ++i) texts.push_back(text_of(GetExpressionByIndex(c, i)));
    return texts;
}

}  // namespace solving
