// Dimension analysis of long and deep formulas with some variables known.
// Each iteration analyses a freshly built tree, as the program does; building
// it is slower than the analysis, so the iterations are fixed.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "solver.h"

namespace {

const Dimension kLength{{1}}, kTime{{0, 0, 1}};

struct Task {
    std::string formula;
    std::vector<std::pair<std::string, Dimension>> given;
};

// y = a0+a1+...: every third term has a length, the rest are inferred.
Task long_sum() {
    Task task{"y=a0", {{"a0", kLength}}};
    for (int i = 1; i < 2000; ++i) {
        task.formula += "+a" + std::to_string(i);
        if (i % 3 == 0) task.given.push_back({"a" + std::to_string(i), kLength});
    }
    return task;
}

// y = a0*a1*...: every factor a time except one, inferred from y.
Task long_product() {
    Task task{"y=a0", {{"a0", kTime}}};
    for (int i = 1; i < 2000; ++i) {
        task.formula += "*a" + std::to_string(i);
        if (i != 1000) task.given.push_back({"a" + std::to_string(i), kTime});
    }
    Dimension y{};
    y.Exponent[2] = static_cast<int8_t>(static_cast<uint8_t>(1999 & 0xFF));
    task.given.push_back({"y", y});
    return task;
}

// y = sqrt(sqr(sqrt(sqr(a0)/(b1*b1)))/(b2*b2)) ..., 200 levels deep.
Task deep_nest() {
    Task task{"a0", {{"a0", kLength}}};
    for (int i = 1; i <= 50; ++i) {
        const std::string b = "b" + std::to_string(i);
        task.formula = "sqrt(sqr(" + task.formula + ")/(" + b + "*" + b + "))";
        task.given.push_back({b, kTime});
    }
    task.formula = "y=" + task.formula;
    return task;
}

void analyse(benchmark::State &state, const Task &task) {
    for (auto _ : state) {
        state.PauseTiming();
        Expression e = CreateExpression(task.formula.c_str());
        for (const auto &[name, d] : task.given) SetExpressionVariableDimension(e, name.c_str(), &d);
        state.ResumeTiming();
        DimensingExpression(e);
        state.PauseTiming();
        if (SolverLastResult() != 0) state.SkipWithError("the analysis failed");
        DestroyExpression(e);
        state.ResumeTiming();
    }
}

void BM_SumOf2000Terms(benchmark::State &state) {
    analyse(state, long_sum());
}
void BM_ProductOf2000Factors(benchmark::State &state) {
    analyse(state, long_product());
}
void BM_Nest200Deep(benchmark::State &state) {
    analyse(state, deep_nest());
}

BENCHMARK(BM_SumOf2000Terms)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK(BM_ProductOf2000Factors)->Unit(benchmark::kMicrosecond)->Iterations(100);
BENCHMARK(BM_Nest200Deep)->Unit(benchmark::kMicrosecond)->Iterations(100);

}  // namespace

BENCHMARK_MAIN();
