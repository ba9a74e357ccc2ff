// Parsing, printing and destroying long formula texts: a long sum, nested
// brackets and nested functions, from 1 to 60 KiB.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "solver.h"

namespace {

std::string long_sum(size_t bytes) {
    std::string text = "y=a";
    while (text.size() + 4 <= bytes) text += "+b*c";
    return text;
}

std::string nested_brackets(size_t bytes) {
    const size_t depth = (bytes - 1) / 4;
    std::string text;
    for (size_t i = 0; i < depth; ++i) text += "(a-";
    text += "x";
    return text + std::string(depth, ')');
}

std::string nested_functions(size_t bytes) {
    const size_t depth = (bytes - 1) / 8;
    std::string text;
    for (size_t i = 0; i < depth; ++i) text += i % 2 ? "sin(" : "pow(a,";
    text += "x";
    return text + std::string(depth, ')');
}

template <std::string (*Make)(size_t)>
void parse_print_destroy(benchmark::State &state) {
    SolverInit();
    const std::string text = Make(static_cast<size_t>(state.range(0)));
    std::vector<char> buffer(SOLVER_TEXT_BUFFER);
    char *out = buffer.data();
    for (auto _ : state) {
        Expression e = CreateExpression(text.c_str());
        GetStrExpression(e, &out);
        ExpressionVariables(e, &out);
        DestroyExpression(e);
        benchmark::DoNotOptimize(buffer.data());
    }
    if (SolverLastResult() != 0) state.SkipWithError("the text did not parse");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(parse_print_destroy<long_sum>)
    ->Arg(1 << 10)
    ->Arg(4 << 10)
    ->Arg(16 << 10)
    ->Arg(60 << 10)
    ->Complexity();
BENCHMARK(parse_print_destroy<nested_brackets>)
    ->Arg(1 << 10)
    ->Arg(4 << 10)
    ->Arg(16 << 10)
    ->Arg(60 << 10)
    ->Complexity();
BENCHMARK(parse_print_destroy<nested_functions>)
    ->Arg(1 << 10)
    ->Arg(4 << 10)
    ->Arg(16 << 10)
    ->Arg(60 << 10)
    ->Complexity();

BENCHMARK_MAIN();
