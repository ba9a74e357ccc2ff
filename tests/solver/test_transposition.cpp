// Solving a formula for one of its variables.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "solving_helpers.h"

using namespace solving;

namespace {

long double evaluate(const std::string &text, const Substitutions &values) {
    OwnedExpression e = parse(text);
    substitute_all(e.get(), values);
    OwnedExpression c(CalcExpression(e.get()));
    EXPECT_EQ(SolverLastResult(), 0) << text;
    return number_of(text_of(c.get()));
}

struct SolvedCase {
    const char *formula;
    const char *name;
    const char *solved;
    Substitutions others;  // values of the other variables, inside every domain
};

class SolvedEquations : public testing::TestWithParam<SolvedCase> {};

// The solved form has the expected text, and the value it gives the
// variable satisfies the original equation.
TEST_P(SolvedEquations, SatisfyTheOriginal) {
    const SolvedCase &c = GetParam();
    OwnedExpression e = parse(c.formula);
    ASSERT_EQ(SolverLastResult(), 0) << c.formula;
    OwnedExpression t(TransposeExpression(e.get(), c.name));
    ASSERT_EQ(SolverLastResult(), 0) << c.formula;
    EXPECT_EQ(text_of(t.get()), c.solved);
    EXPECT_EQ(text_of(e.get()), text_of(parse(c.formula).get())) << "the source is unchanged";

    substitute_all(t.get(), c.others);
    OwnedExpression value(CalcExpression(t.get()));
    ASSERT_EQ(SolverLastResult(), 0) << c.formula;
    const std::string solution = value_of(value.get(), c.name);

    Substitutions all = c.others;
    all.emplace_back(c.name, solution);
    const std::string formula = c.formula;
    const size_t equal = formula.find('=');
    const long double left = evaluate(formula.substr(0, equal), all);
    const long double right = evaluate(formula.substr(equal + 1), all);
    EXPECT_NEAR(double(left), double(right), 1e-12 * (1 + std::fabs(double(right))))
        << c.formula << " with " << c.name << "=" << solution;
}

INSTANTIATE_TEST_SUITE_P(
    Transposition, SolvedEquations,
    testing::Values(SolvedCase{"y=a*x+b", "x", "x=(y-b)/a", {{"y", "7"}, {"a", "2"}, {"b", "1"}}},
                    SolvedCase{"F=m*a", "a", "a=F/m", {{"F", "10"}, {"m", "4"}}},
                    SolvedCase{"F=m*a", "F", "F=m*a", {{"m", "2"}, {"a", "3"}}},
                    SolvedCase{"v=sqrt(2*g*h)", "h", "h=sqr(v)/(2*g)", {{"v", "14"}, {"g", "9.81"}}},
                    SolvedCase{"y=1/x", "x", "x=1/y", {{"y", "4"}}},
                    SolvedCase{"y=-x", "x", "x=-y", {{"y", "3"}}},
                    SolvedCase{"y=+x", "x", "x=y", {{"y", "3"}}}, SolvedCase{"y=x", "y", "x=y", {{"x", "5"}}},
                    SolvedCase{"y=x+0", "x", "x=y-0", {{"y", "2"}}},
                    SolvedCase{"z=x+b", "x", "x=z-b", {{"z", "5"}, {"b", "2"}}},
                    SolvedCase{"z=a+x", "x", "x=z-a", {{"z", "5"}, {"a", "2"}}},
                    SolvedCase{"z=x-b", "x", "x=z+b", {{"z", "5"}, {"b", "2"}}},
                    SolvedCase{"z=a-x", "x", "x=a-z", {{"z", "5"}, {"a", "2"}}},
                    SolvedCase{"z=x*b", "x", "x=z/b", {{"z", "5"}, {"b", "2"}}},
                    SolvedCase{"z=a*x", "x", "x=z/a", {{"z", "5"}, {"a", "2"}}},
                    SolvedCase{"z=x/b", "x", "x=z*b", {{"z", "5"}, {"b", "2"}}},
                    SolvedCase{"z=a/x", "x", "x=a/z", {{"z", "5"}, {"a", "2"}}},
                    SolvedCase{"y=pow(x,2)", "x", "x=root(2,y)", {{"y", "9"}}},
                    SolvedCase{"y=pow(2,x)", "x", "x=log(2,y)", {{"y", "8"}}},
                    SolvedCase{"z=root(x,b)", "x", "x=log(z,b)", {{"z", "3"}, {"b", "9"}}},
                    SolvedCase{"z=root(a,x)", "x", "x=pow(z,a)", {{"z", "3"}, {"a", "2"}}},
                    SolvedCase{"z=log(x,b)", "x", "x=root(z,b)", {{"z", "2"}, {"b", "9"}}},
                    SolvedCase{"z=log(a,x)", "x", "x=pow(a,z)", {{"z", "3"}, {"a", "2"}}},
                    SolvedCase{"y=ln(x)", "x", "x=exp(y)", {{"y", "1.5"}}},
                    SolvedCase{"y=sin(x)*k", "x", "x=arcsin(y/k)", {{"y", "0.5"}, {"k", "2"}}},
                    SolvedCase{"y=th(x/c)", "x", "x=arcth(y)*c", {{"y", "0.5"}, {"c", "3"}}},
                    SolvedCase{"y=arccos(x)-1", "x", "x=cos(y+1)", {{"y", "0.25"}}},
                    // The variable on the left: the sides are exchanged only when the
                    // right one ends as a variable.
                    SolvedCase{"exp(x)=y", "x", "x=ln(y)", {{"y", "5"}}},
                    SolvedCase{"2*x+1=y", "x", "x=(y-1)/2", {{"y", "5"}}},
                    SolvedCase{"sqrt(2*x)=y", "x", "x=sqr(y)/2", {{"y", "5"}}}));

struct RelationCase {
    const char *formula;
    const char *name;
    const char *solved;
};

// Only a negation turns a relation round; other decreasing steps carry it
// over as it stands.
TEST(Transposition, InequalitiesAndChains) {
    const RelationCase cases[] = {
        {"a<x+1<b", "x", "a-1<x<b-1"}, {"y<-x", "x", "x>-y"},         {"y<-(-x)", "x", "x<-(-y)"},
        {"a<-x<b", "x", "-a>x>-b"},    {"a<=2-x", "x", "x<=2-a"},     {"y<>x*2", "x", "x<>y/2"},
        {"a>=-x", "x", "x<=-a"},       {"x+1<a<b", "x", "x<a-1<b-1"},
    };
    for (const RelationCase &c : cases) {
        OwnedExpression e = parse(c.formula);
        OwnedExpression t(TransposeExpression(e.get(), c.name));
        EXPECT_EQ(SolverLastResult(), 0) << c.formula;
        EXPECT_EQ(text_of(t.get()), c.solved) << c.formula;
    }
}

TEST(Transposition, FailuresGiveAnUnchangedCopy) {
    const struct {
        const char *formula;
        const char *name;
        uint16_t code;
    } cases[] = {
        {"y=x*x", "x", 32}, {"x=x+1", "x", 32}, {"a<x<x", "x", 32}, {"y+1", "y", 31},
        {"x", "x", 31},     {"y=a*b", "x", 33}, {"y=a*b", "", 33},
    };
    for (const auto &c : cases) {
        OwnedExpression e = parse(c.formula);
        ASSERT_EQ(SolverLastResult(), 0);
        OwnedExpression t(TransposeExpression(e.get(), c.name));
        EXPECT_EQ(SolverLastResult(), c.code) << c.formula;
        ASSERT_NE(t.get(), e.get());
        EXPECT_EQ(text_of(t.get()), c.formula);
    }
}

TEST(Transposition, LeavesTheCodeAsItWasOnSuccess) {
    OwnedExpression e = parse("y=a*x");
    long double value;
    StrToVal("12a", &value);
    ASSERT_EQ(SolverLastResult(), 4);
    OwnedExpression t(TransposeExpression(e.get(), "x"));
    EXPECT_EQ(SolverLastResult(), 4);
    EXPECT_EQ(text_of(t.get()), "x=y/a");
    EXPECT_EQ(TransposeExpression(nullptr, "x"), nullptr);
}

std::string repeated(const std::string &piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(Transposition, PeelsFormulasAsDeepAsTheBufferAllows) {
    OwnedExpression sum = parse("y=x" + repeated("+1", 20000));
    ASSERT_EQ(SolverLastResult(), 0);
    OwnedExpression t(TransposeExpression(sum.get(), "x"));
    EXPECT_EQ(text_of(t.get()), "x=y" + repeated("-1", 20000));
    SetExpressionVariable(t.get(), "y", "20001");
    OwnedExpression value(CalcExpression(t.get()));
    EXPECT_EQ(text_of(value.get()), "x=1");

    OwnedExpression roots = parse("y=" + repeated("sqrt(", 10000) + "x" + repeated(")", 10000));
    ASSERT_EQ(SolverLastResult(), 0);
    OwnedExpression r(TransposeExpression(roots.get(), "x"));
    EXPECT_EQ(text_of(r.get()), "x=" + repeated("sqr(", 10000) + "y" + repeated(")", 10000));

    OwnedExpression brackets = parse("y=" + repeated("(", 20000) + "2*x" + repeated(")", 20000));
    ASSERT_EQ(SolverLastResult(), 0);
    OwnedExpression b(TransposeExpression(brackets.get(), "x"));
    EXPECT_EQ(text_of(b.get()), "x=y/2");
}

}  // namespace
