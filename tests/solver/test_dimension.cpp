#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dimension_reference.h"
#include "solver.h"
#include "solver/collection.h"

namespace tessarin_test {
namespace {

struct ExpressionDeleter {
    void operator()(SolverNode *e) const { DestroyExpression(e); }
};
using ExpressionPtr = std::unique_ptr<SolverNode, ExpressionDeleter>;

Dimension dim(std::initializer_list<int> exponents) {
    Dimension d{};
    int i = 0;
    for (int e : exponents) d.Exponent[i++] = static_cast<int8_t>(e);
    return d;
}

std::vector<int> exponents(const Dimension &d) {
    return {std::begin(d.Exponent), std::end(d.Exponent)};
}

Dimension read_back(Expression e, const char *name) {
    Dimension d = dim({99});
    Dimension *p = &d;
    GetExpressionVariableDimension(e, name, &p);
    return d;
}

const Dimension kNone{}, kL = dim({1}), kM = dim({0, 1}), kT = dim({0, 0, 1}), kL2 = dim({2}), kL3 = dim({3}),
                         kAngle = dim({0, 0, 0, 0, 0, 0, 0, 1}), kSpeed = dim({1, 0, -1}),
                         kForce = dim({1, 1, -2});

struct AnalysisCase {
    const char *formula;
    std::map<std::string, Dimension> given;
    uint16_t code;
    std::map<std::string, Dimension> expected;  // read back after the analysis
};

TEST(DimensingExpression, ChecksFormulasAndInfersUnknownVariables) {
    const AnalysisCase cases[] = {
        {"x=y*z", {{"x", kL}}, 41, {}},
        {"x=y*z", {{"x", kL}, {"y", kL}}, 0, {{"z", kNone}}},
        {"v=s/t", {{"s", kL}, {"t", kT}}, 0, {{"v", kSpeed}}},
        {"v=s/t", {{"v", kSpeed}, {"t", kT}}, 0, {{"s", kL}}},
        {"v=s/t", {{"v", kSpeed}, {"s", kL}}, 0, {{"t", kT}}},
        {"F=m*a", {{"F", kForce}, {"m", kM}}, 0, {{"a", dim({1, 0, -2})}}},
        {"a=b+c", {{"a", kL}, {"b", kL}, {"c", kT}}, 37, {}},
        {"a=b-c", {{"a", kL}}, 0, {{"b", kL}, {"c", kL}}},
        {"a=b+c+d", {{"d", kT}}, 0, {{"a", kT}, {"b", kT}, {"c", kT}}},
        {"y=-x", {{"x", kL}}, 0, {{"y", kL}}},
        {"y=-x", {{"y", kL}}, 0, {{"x", kL}}},
        {"y=-x", {{"y", kL}, {"x", kT}}, 37, {}},
        {"y=sqrt(x)", {{"x", kL2}}, 0, {{"y", kL}}},
        {"y=sqrt(x)", {{"x", kL3}}, 38, {}},
        {"y=sqrt(x)", {}, 37, {}},
        {"y=sqrt(x)", {{"y", kL}}, 37, {}},
        {"y=sqr(x)", {{"y", kL2}}, 37, {}},
        {"y=sqr(x)", {{"x", kL}}, 0, {{"y", kL2}}},
        {"y=pow(x,n)", {{"x", kL}}, 39, {}},
        {"y=pow(x,2.5)", {{"x", kL}}, 40, {}},
        {"y=pow(x,3)", {{"x", kL}}, 0, {{"y", kL3}}},
        {"y=pow(x,-2)", {{"x", kL}}, 39, {}},  // a signed exponent is an operator, not a number
        {"y=pow(x,n)", {{"n", kL}}, 36, {}},
        {"y=root(3,x)", {{"x", kL3}}, 0, {{"y", kL}}},
        {"y=root(2,x)", {{"x", kL3}}, 38, {}},
        {"y=root(n,x)", {{"x", kL}}, 39, {}},
        {"y=root(1.5,x)", {{"x", kL}}, 40, {}},
        // A zero exponent or degree cannot be divided by.
        {"y=pow(x,0)", {{"x", kL}}, 42, {}},
        {"y=root(0,x)", {{"x", kL}}, 42, {}},
        {"y=sin(x)", {{"x", kAngle}}, 0, {{"y", kNone}}},
        // The argument is cleared before the relation gives the sine a dimension.
        {"y=sin(x)", {{"x", kL}, {"y", kM}}, 0, {{"x", kNone}, {"y", kM}}},
        {"y=sin(x)", {{"x", dim({1, 0, 0, 0, 0, 0, 0, 1})}}, 0, {{"y", kNone}}},
        {"y=exp(x)", {{"x", kL}}, 0, {{"x", kNone}, {"y", kNone}}},
        {"y=log(b,x)", {{"b", kL}}, 36, {}},
        {"y=log(b,x)", {}, 0, {{"y", kNone}}},
        {"a<b", {{"a", kL}, {"b", kT}}, 37, {}},
        {"a>=b", {{"a", kL}}, 0, {{"b", kL}}},
        {"y=2*x", {{"y", kL}}, 41, {}},  // a number is an unknown factor too
        {"y=2*x", {{"x", kL}}, 0, {{"y", kNone}}},
        {"y=x*x", {{"x", dim({127})}}, 0, {{"y", dim({-2})}}},  // exponents wrap
        {"y=a+", {{"a", kL}}, 0, {{"y", kL}}},                  // a missing operand takes nothing
    };
    for (const AnalysisCase &c : cases) {
        SCOPED_TRACE(c.formula);
        ExpressionPtr e(CreateExpression(c.formula));
        ASSERT_EQ(SolverLastResult(), 0);
        for (const auto &[name, d] : c.given) SetExpressionVariableDimension(e.get(), name.c_str(), &d);
        StrToVal("stale", nullptr);
        DimensingExpression(e.get());
        EXPECT_EQ(SolverLastResult(), c.code);
        for (const auto &[name, d] : c.expected)
            EXPECT_EQ(exponents(read_back(e.get(), name.c_str())), exponents(d));
    }
}

TEST(DimensionQueries, ReadTheFirstVariableAndLeaveTheAreaWhenNoneMatches) {
    ExpressionPtr e(CreateExpression("x=x+y"));
    SetExpressionVariableDimension(e.get(), "x", &kL);
    EXPECT_EQ(exponents(read_back(e.get(), "x")), exponents(kL));
    EXPECT_EQ(exponents(read_back(e.get(), "X")), exponents(dim({99})));  // names match case
    SetExpressionVariableDimension(e.get(), "nothing", &kT);
    EXPECT_EQ(exponents(read_back(e.get(), "y")), exponents(kNone));
    Dimension *none = nullptr;
    GetExpressionVariableDimension(e.get(), "x", &none);
    GetExpressionVariableDimension(nullptr, "x", &none);
    DimensingExpression(nullptr);
    EXPECT_EQ(SolverLastResult(), 0);
}

TEST(DimensionQueries, CompareAndClearWithNullAsTheZeroVector) {
    const Dimension zero{};
    EXPECT_EQ(IsEqualDimensions(nullptr, &zero), -1);
    EXPECT_EQ(IsEqualDimensions(nullptr, nullptr), -1);
    EXPECT_EQ(IsEqualDimensions(&kL, nullptr), 0);
    EXPECT_EQ(IsEqualDimensions(&kL, &kT), 0);
    EXPECT_EQ(IsEqualDimensions(&kSpeed, &kSpeed), -1);
    EXPECT_EQ(IsWithoutDimension(nullptr), -1);
    EXPECT_EQ(IsWithoutDimension(&zero), -1);
    EXPECT_EQ(IsWithoutDimension(&kAngle), 0);
    Dimension d = kForce;
    Dimension *p = &d;
    WithoutDimension(&p);
    EXPECT_EQ(IsWithoutDimension(&d), -1);
    WithoutDimension(nullptr);
}

TEST(DimensingCollection, AnalysesInOrderAndStopsAtTheFirstFault) {
    Collection c = CreateCollection();
    Expression first = CreateExpression("v=s/t");
    Expression bad = CreateExpression("a=s+t");
    Expression last = CreateExpression("w=s*q");
    AddToCollection(c, first);
    AddToCollection(c, bad);
    AddToCollection(c, last);
    SetCollectionVariableDimension(c, "s", &kL);
    SetCollectionVariableDimension(c, "t", &kT);
    SetCollectionVariableDimension(c, "q", &kL);
    DimensingCollection(c);
    EXPECT_EQ(SolverLastResult(), 37);
    Dimension d = dim({99});
    Dimension *p = &d;
    GetCollectionVariableDimension(c, "v", &p);
    EXPECT_EQ(exponents(d), exponents(kSpeed));
    GetCollectionVariableDimension(c, "w", &p);
    EXPECT_EQ(exponents(d), exponents(kNone));  // never analysed
    GetCollectionVariableDimension(c, "q", &p);
    EXPECT_EQ(exponents(d), exponents(kL));
    d = dim({99});
    GetCollectionVariableDimension(c, "absent", &p);
    EXPECT_EQ(exponents(d), exponents(dim({99})));
    DestroyCollection(c);
}

// Random formulas with every operator and function kind, known and unknown
// variables, compared node by node with the literal recursion.
class FormulaGenerator {
  public:
    explicit FormulaGenerator(unsigned seed) : random_(seed) {}

    std::string formula() {
        budget_ = 40;
        static const char *relations[] = {"=", "<", ">=", "<>"};
        return term(0) + relations[pick(4)] + term(0);
    }

    Dimension dimension() {
        static const Dimension pool[] = {kNone,       kNone,          kL, kT, kM, kL2, kL3, kSpeed, kAngle,
                                         dim({-128}), dim({2, 0, -2})};
        return pool[pick(std::size(pool))];
    }

    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

  private:
    std::string term(int depth) {
        if (depth >= 14 || budget_ <= 0 || pick(10) < 2 + depth / 3) return leaf();
        --budget_;
        const std::string a = term(depth + 1);
        switch (pick(12)) {
            case 0:
                return a + "+" + term(depth + 1);
            case 1:
                return a + "-" + term(depth + 1);
            case 2:
                return a + "*" + term(depth + 1);
            case 3:
                return a + "/" + term(depth + 1);
            case 4:
                return "(" + a + ")*(" + term(depth + 1) + ")";
            case 5:
                return std::string("(") + (pick(2) ? "-" : "+") + a + ")";
            case 6: {
                static const char *names[] = {"sin", "cos",  "tg",  "arccsch", "exp", "ln",
                                              "lg",  "pow2", "sqr", "sqrt",    "sqr"};
                return std::string(names[pick(std::size(names))]) + "(" + a + ")";
            }
            case 7:
                return "pow(" + a + "," + exponent() + ")";
            case 8:
                return "root(" + exponent() + "," + a + ")";
            case 9:
                return "log(" + a + "," + term(depth + 1) + ")";
            default:
                return "(" + a + "-" + term(depth + 1) + ")/" + leaf();
        }
    }
    std::string exponent() {
        static const char *texts[] = {"2", "3", "2", "1", "0", "2.5", "k", "4"};
        return texts[pick(std::size(texts))];
    }
    std::string leaf() {
        static const char *texts[] = {"a", "b", "c", "d", "e", "f", "2", "k"};
        return texts[pick(std::size(texts))];
    }

    std::mt19937 random_;
    int budget_ = 0;
};

void expect_same_dimensions(const SolverNode *fast, const SolverNode *literal, const std::string &formula) {
    std::vector<std::pair<const SolverNode *, const SolverNode *>> pending{{fast, literal}};
    while (!pending.empty()) {
        auto [a, b] = pending.back();
        pending.pop_back();
        ASSERT_EQ(a == nullptr, b == nullptr);
        if (!a) continue;
        ASSERT_EQ(exponents(a->Dim), exponents(b->Dim))
            << formula << " at node " << a->Name << " kind " << int(a->Kind);
        pending.emplace_back(a->Left, b->Left);
        pending.emplace_back(a->Right, b->Right);
    }
}

TEST(DimensingExpression, GivesWhatTheLiteralRecursionGivesOnGeneratedFormulas) {
    FormulaGenerator generator(20261211);
    int compared = 0, failures = 0;
    for (int round = 0; round < 4000; ++round) {
        const std::string formula = generator.formula();
        ExpressionPtr fast(CreateExpression(formula.c_str()));
        if (SolverLastResult() != 0 || !fast) continue;
        ExpressionPtr literal(CreateExpression(formula.c_str()));
        // Twice: the second analysis starts from what the first inferred,
        // with some variables given anew.
        for (int pass = 0; pass < 2; ++pass) {
            for (const char *name : {"a", "b", "c", "d", "e", "f", "k"}) {
                if (generator.pick(3) == 0) continue;
                const Dimension d = generator.dimension();
                SetExpressionVariableDimension(fast.get(), name, &d);
                SetExpressionVariableDimension(literal.get(), name, &d);
            }
            DimensingExpression(fast.get());
            const uint16_t code = SolverLastResult();
            ASSERT_EQ(code, ReferenceAnalysis().run(literal.get())) << formula << " pass " << pass;
            failures += code != 0;
            expect_same_dimensions(fast.get(), literal.get(), formula);
            if (HasFatalFailure()) return;
        }
        ++compared;
    }
    // The generated formulas must exercise both outcomes.
    EXPECT_GT(compared, 2000);
    EXPECT_GT(failures, 200);
    EXPECT_LT(failures, 2 * compared - 200);
}

TEST(DimensingExpression, AnalysesVeryDeepAndLongFormulas) {
    std::string sum = "y=a";
    for (int i = 0; i < 20000; ++i) sum += "+a";
    std::string nest = "y=";
    for (int i = 0; i < 20000; ++i) nest += "sqr(";
    nest += "x" + std::string(20000, ')');
    for (const std::string &text : {sum, nest}) {
        ExpressionPtr e(CreateExpression(text.c_str()));
        ASSERT_EQ(SolverLastResult(), 0);
        SetExpressionVariableDimension(e.get(), "y", &kL);
        DimensingExpression(e.get());
        EXPECT_EQ(SolverLastResult(), text == sum ? 0 : 37);
    }
    ExpressionPtr e(CreateExpression(sum.c_str()));
    SetExpressionVariableDimension(e.get(), "y", &kL);
    DimensingExpression(e.get());
    EXPECT_EQ(exponents(read_back(e.get(), "a")), exponents(kL));
}

}  // namespace
}  // namespace tessarin_test
