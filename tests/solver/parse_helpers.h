// Owning expression handles, bounded text readers and a structural dump of
// trees, for the tests of parsing, printing and variable queries.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "solver.h"
#include "solver/node.h"
#include "solver/tables.h"

namespace parsing {

struct ExpressionDeleter {
    void operator()(SolverNode *e) const { DestroyExpression(e); }
};
using Tree = std::unique_ptr<SolverNode, ExpressionDeleter>;

inline Tree parse(const std::string &text) {
    return Tree(CreateExpression(text.c_str()));
}

// Calls `write` with a caller's buffer of the program's size, and returns
// what it wrote.  Fails the test when anything lands past the buffer.
template <class Write>
std::string read_text(Write write) {
    constexpr size_t kGuard = 64;
    std::vector<char> buffer(SOLVER_TEXT_BUFFER + kGuard, '\x7f');
    char *out = buffer.data();
    write(&out);
    for (size_t i = SOLVER_TEXT_BUFFER; i < buffer.size(); ++i)
        if (buffer[i] != '\x7f') {
            ADD_FAILURE() << "written past the buffer at " << i;
            break;
        }
    if (out != buffer.data()) ADD_FAILURE() << "the caller's pointer was changed";
    return std::string(buffer.data());
}

inline std::string text_of(Expression e) {
    return read_text([&](char **out) { GetStrExpression(e, out); });
}

// Every node with its kind, name or table row and Level, fully bracketed:
// variables and numbers as their names, functions as name@Level(args),
// operators as [left op@Level right], relations as {left rel right}; "_" for a
// missing child.  Only for trees a few hundred levels deep.
inline std::string dump(const SolverNode *n) {
    using namespace solver;
    if (!n) return "_";
    const std::string level = "@" + std::to_string(n->Level);
    switch (n->Kind) {
        case NumberNode:
        case VariableNode:
            return std::string(n->name());
        case FunctionNode: {
            const FunctionRow &f = kFunctions.at(n->Index);
            std::string text = std::string(f.name) + level + "(" + dump(n->Left);
            if (f.arguments == 2) text += "," + dump(n->Right);
            return text + ")";
        }
        case OperatorNode: {
            const OperatorRow &o = kOperators.at(n->Index);
            std::string text = "[";
            if (!o.unary) text += dump(n->Left) + " ";
            return text + o.character + level + " " + dump(n->Right) + "]";
        }
        case RelationNode:
            return "{" + dump(n->Left) + " " + std::string(kRelations.at(n->Index).text) + " " +
                   dump(n->Right) + "}";
        default:
            return "?";
    }
}

}  // namespace parsing
