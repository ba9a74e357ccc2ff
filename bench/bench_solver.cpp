// The engine's everyday calculation beside muparser, transposition, systems
// and the growth of calculation with the length of a formula.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "solver.h"

#ifdef HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

// The program's path for one formula: parse, substitute the given values,
// calculate, read the result's text and its value, destroy.
void BM_EverydayCalculation(benchmark::State &state) {
    std::vector<char> buffer(SOLVER_TEXT_BUFFER);
    long double value = 0;
    for (auto _ : state) {
        Expression e = CreateExpression("v=sqrt(2*g*h)");
        SetExpressionVariable(e, "g", "9.81");
        SetExpressionVariable(e, "h", "10");
        Expression c = CalcExpression(e);
        char *out = buffer.data();
        ExpressionVarValue(c, "v", &out);
        StrToVal(buffer.data(), &value);
        DestroyExpression(c);
        DestroyExpression(e);
        benchmark::DoNotOptimize(value);
    }
    state.SetLabel(buffer.data());
}
BENCHMARK(BM_EverydayCalculation);

#ifdef HAVE_MUPARSER
// The same formula parsed and evaluated once, the parser object kept.
void BM_MuparserParseAndEvaluate(benchmark::State &state) {
    double g = 9.81, h = 10, v = 0;
    mu::Parser parser;
    parser.DefineVar("g", &g);
    parser.DefineVar("h", &h);
    for (auto _ : state) {
        parser.SetExpr("sqrt(2*g*h)");
        v = parser.Eval();
        benchmark::DoNotOptimize(v);
    }
    state.SetLabel(std::to_string(v));
}
BENCHMARK(BM_MuparserParseAndEvaluate);

// The same with a new parser each time, as a one-off calculation would be.
void BM_MuparserNewParser(benchmark::State &state) {
    double g = 9.81, h = 10, v = 0;
    for (auto _ : state) {
        mu::Parser parser;
        parser.DefineVar("g", &g);
        parser.DefineVar("h", &h);
        parser.SetExpr("sqrt(2*g*h)");
        v = parser.Eval();
        benchmark::DoNotOptimize(v);
    }
    state.SetLabel(std::to_string(v));
}
BENCHMARK(BM_MuparserNewParser);
#endif

void BM_TransposeLinear(benchmark::State &state) {
    Expression e = CreateExpression("y=a*x+b");
    for (auto _ : state) {
        Expression t = TransposeExpression(e, "x");
        benchmark::DoNotOptimize(t);
        DestroyExpression(t);
    }
    DestroyExpression(e);
}
BENCHMARK(BM_TransposeLinear);

void BM_TransposeChainOfFive(benchmark::State &state) {
    Collection c = CreateCollection();
    for (const char *f : {"a=b+1", "b=c*2", "c=d-3", "d=e/4", "e=f+5"})
        AddToCollection(c, CreateExpression(f));
    std::vector<char> buffer(SOLVER_TEXT_BUFFER);
    for (auto _ : state) {
        char *out = buffer.data();
        Collection solved = TransposeCollection(c, "f", "a", &out);
        benchmark::DoNotOptimize(solved);
        DestroyCollection(solved);
    }
    DestroyCollection(c);
    state.SetLabel(buffer.data());
}
BENCHMARK(BM_TransposeChainOfFive);

// A formula of about `bytes` characters whose terms exercise folding and
// the identities.
std::string long_formula(size_t bytes) {
    std::string text = "y=0";
    for (int i = 0; text.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        text += "+a" + n + "*a" + n + "-sin(b" + n + ")/1+" + n + "*2-(c" + n + "+0)";
    }
    return text;
}

void BM_CalculateLongFormula(benchmark::State &state) {
    const std::string text = long_formula(static_cast<size_t>(state.range(0)));
    Expression e = CreateExpression(text.c_str());
    for (auto _ : state) {
        Expression c = CalcExpression(e);
        benchmark::DoNotOptimize(c);
        DestroyExpression(c);
    }
    DestroyExpression(e);
    state.SetComplexityN(static_cast<int64_t>(text.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CalculateLongFormula)->RangeMultiplier(2)->Range(1 << 10, 60 << 10)->Complexity();

}  // namespace

BENCHMARK_MAIN();
