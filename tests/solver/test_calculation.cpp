// Substitution of values and the simplifying calculation of one formula.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "solving_helpers.h"

using namespace solving;

namespace {

struct Calculated {
    std::string text;
    uint16_t code;
};

// The text of the calculated formula and the code left by the calculation.
Calculated calculate(const std::string &formula, const Substitutions &values = {}) {
    OwnedExpression e = parse(formula);
    EXPECT_EQ(SolverLastResult(), 0) << formula;
    substitute_all(e.get(), values);
    EXPECT_EQ(SolverLastResult(), 0) << formula;
    OwnedExpression c(CalcExpression(e.get()));
    const uint16_t code = SolverLastResult();
    return {text_of(c.get()), code};
}

struct IdentityCase {
    const char *formula;
    Substitutions values;
    const char *calculated;
    uint16_t code;
};

class Identities : public testing::TestWithParam<IdentityCase> {};

TEST_P(Identities, GiveTheirSimplifiedForm) {
    const IdentityCase &c = GetParam();
    const Calculated result = calculate(c.formula, c.values);
    EXPECT_EQ(result.text, c.calculated) << c.formula;
    EXPECT_EQ(result.code, c.code) << c.formula;
}

INSTANTIATE_TEST_SUITE_P(
    Calculation, Identities,
    testing::Values(
        // Folding numbers, with values substituted first.
        IdentityCase{"y=x*2", {{"x", "3"}}, "y=6", 0}, IdentityCase{"y=1/x+1", {{"x", "0"}}, "y=1", 29},
        IdentityCase{"y=x/3", {{"x", "1"}}, "y=0.333333333333333", 0},
        IdentityCase{"y=x*10", {{"x", "1e19"}}, "y= 1.00000000000000E+0020", 0},
        IdentityCase{"y=-x", {{"x", "1.23456789012345e-15"}}, "y=-0.000000000000001234567", 0},
        IdentityCase{"y=a+b*c", {{"b", "2"}, {"c", "3"}}, "y=a+6", 0},
        // Functions and their inverses.
        IdentityCase{"y=sin(arcsin(x))", {}, "y=x", 0}, IdentityCase{"y=arcsin(sin(x))", {}, "y=x", 0},
        IdentityCase{"sqrt(sqr(x))", {}, "x", 0}, IdentityCase{"cos(a-b)", {}, "cos(a-b)", 0},
        IdentityCase{"sin(cos(x))", {}, "sin(cos(x))", 0},
        // pow, root and log.
        IdentityCase{"pow(x,0)", {}, "1", 0}, IdentityCase{"pow(x,1)", {}, "x", 0},
        IdentityCase{"pow(x,-1)", {}, "1/x", 0}, IdentityCase{"pow(1,x)", {}, "1", 0},
        IdentityCase{"pow(0,x)", {}, "0", 0}, IdentityCase{"pow(x,y)", {}, "pow(x,y)", 0},
        IdentityCase{"root(1,x)", {}, "x", 0}, IdentityCase{"root(0,x)", {}, "root(0,x)", 28},
        IdentityCase{"root(x,0)", {}, "0", 0}, IdentityCase{"root(x,1)", {}, "1", 0},
        IdentityCase{"log(b,1)", {}, "0", 0}, IdentityCase{"log(b,-2)", {}, "log(b,-2)", 28},
        IdentityCase{"log(b,0)", {}, "log(b,0)", 28}, IdentityCase{"log(1,x)", {}, "log(1,x)", 0},
        // Unary operators.
        IdentityCase{"+x", {}, "x", 0}, IdentityCase{"-(-x)", {}, "x", 0}, IdentityCase{"-(x)", {}, "-x", 0},
        IdentityCase{"-(-(-x))", {}, "-x", 0},
        // Sums.
        IdentityCase{"0+x", {}, "x", 0}, IdentityCase{"x+0", {}, "x", 0}, IdentityCase{"x+x", {}, "2*x", 0},
        IdentityCase{"-x+x", {}, "0", 0}, IdentityCase{"x+(-x)", {}, "0", 0},
        IdentityCase{"x+y", {}, "x+y", 0}, IdentityCase{"y=x+x", {{"x", "2*k"}}, "y=2*2*k", 0},
        // Differences.
        IdentityCase{"0-x", {}, "-x", 0}, IdentityCase{"x-0", {}, "x", 0}, IdentityCase{"x-x", {}, "0", 0},
        IdentityCase{"-x-x", {}, "-(2*x)", 0}, IdentityCase{"x-(-x)", {}, "2*x", 0},
        IdentityCase{"sin(x)-sin(x)", {}, "0", 0}, IdentityCase{"sin(x)-sin(y)", {}, "sin(x)-sin(y)", 0},
        // Products.
        IdentityCase{"0*x", {}, "0", 0}, IdentityCase{"x*0", {}, "0", 0}, IdentityCase{"1*x", {}, "x", 0},
        IdentityCase{"x*1", {}, "x", 0}, IdentityCase{"x*x", {}, "sqr(x)", 0},
        IdentityCase{"(-x)*x", {}, "-sqr(x)", 0}, IdentityCase{"x*(-x)", {}, "-sqr(x)", 0},
        IdentityCase{"x*(1/x)", {}, "1", 0}, IdentityCase{"(1/x)*x", {}, "1", 0},
        IdentityCase{"(-(1/x))*x", {}, "-1", 0}, IdentityCase{"x*(-(1/x))", {}, "-1", 0},
        IdentityCase{"(-x)*(1/x)", {}, "-1", 0}, IdentityCase{"(1/x)*(-x)", {}, "-1", 0},
        IdentityCase{"x*y", {}, "x*y", 0},
        // Quotients.
        IdentityCase{"x/0", {}, "x/0", 28}, IdentityCase{"0/x", {}, "0", 0}, IdentityCase{"x/1", {}, "x", 0},
        IdentityCase{"x/x", {}, "1", 0}, IdentityCase{"(-x)/x", {}, "-1", 0},
        IdentityCase{"x/(-x)", {}, "-1", 0}, IdentityCase{"(1/x)/x", {}, "1/sqr(x)", 0},
        IdentityCase{"x/(1/x)", {}, "sqr(x)", 0}, IdentityCase{"x/y", {}, "x/y", 0},
        // Identities apply once per node on the way up: the product made
        // from x+x is not looked at again.
        IdentityCase{"(x+x)-2*x", {}, "0", 0}, IdentityCase{"(x+x)/(2*x)", {}, "1", 0},
        IdentityCase{"x*2+x*2", {}, "2*x*2", 0},
        // Equality is exact on number texts: 2 and 2.0 differ.
        IdentityCase{"x*2-x*2.0", {}, "x*2-(x*2.0)", 0},
        // Relations are kept, their sides simplified.
        IdentityCase{"a<x+0<=b*1", {}, "a<x<=b", 0}));

TEST(Substitution, ReplacesEveryOccurrenceByItsOwnCopy) {
    OwnedExpression e = parse("y=x+x*sin(x)");
    SetExpressionVariable(e.get(), "x", "2*k");
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(text_of(e.get()), "y=2*k+2*k*sin(2*k)");
    // The substituted name is gone for good; other names are exact and case-sensitive.
    SetExpressionVariable(e.get(), "x", "5");
    SetExpressionVariable(e.get(), "K", "5");
    EXPECT_EQ(text_of(e.get()), "y=2*k+2*k*sin(2*k)");
    SetExpressionVariable(e.get(), "k", "a-b");
    EXPECT_EQ(text_of(e.get()), "y=2*(a-b)+2*(a-b)*sin(2*(a-b))");
}

TEST(Substitution, AValueThatMentionsTheNameIsNotSubstitutedIntoAgain) {
    OwnedExpression e = parse("y=x*x");
    SetExpressionVariable(e.get(), "x", "x+1");
    EXPECT_EQ(text_of(e.get()), "y=(x+1)*(x+1)");
}

TEST(Substitution, FaultsOfTheValueLeaveTheFormulaUnchanged) {
    const struct {
        const char *value;
        uint16_t code;
    } cases[] = {
        {"", 1},        {"2*-3", 12},     {"a=b", 27}, {"a<b+1", 27}, {"2x", 3},
        {"pow(a)", 25}, {"sin(a,b)", 26}, {"   ", 0},  {"(1", 24},
    };
    for (const auto &c : cases) {
        OwnedExpression e = parse("y=x+1");
        SetExpressionVariable(e.get(), "x", c.value);
        EXPECT_EQ(SolverLastResult(), c.code) << c.value;
        EXPECT_EQ(text_of(e.get()), "y=x+1") << c.value;
    }
}

TEST(Substitution, ClearsTheCodeAndIgnoresNamesThatDoNotOccur) {
    OwnedExpression e = parse("y=x+1");
    long double value;
    StrToVal("12a", &value);
    ASSERT_EQ(SolverLastResult(), 4);
    SetExpressionVariable(e.get(), "z", "3");
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(text_of(e.get()), "y=x+1");
    SetExpressionVariable(nullptr, "x", "3");
    EXPECT_EQ(SolverLastResult(), 0);
}

struct ValueCase {
    const char *call;
    long double value;
    uint16_t code;
};

class FunctionValues : public testing::TestWithParam<ValueCase> {};

// Folds y=<call> and compares the value read back through its text.
TEST_P(FunctionValues, FoldWithTheirDomainChecks) {
    const ValueCase &c = GetParam();
    OwnedExpression e = parse(std::string("y=") + c.call);
    ASSERT_EQ(SolverLastResult(), 0) << c.call;
    OwnedExpression calculated(CalcExpression(e.get()));
    EXPECT_EQ(SolverLastResult(), c.code) << c.call;
    const std::string text = value_of(calculated.get(), "y");
    const long double value = number_of(text);
    EXPECT_NEAR(static_cast<double>(value), static_cast<double>(c.value),
                1e-13 * (1 + std::fabs(double(c.value))))
        << c.call << " gave " << text;
}

constexpr long double kPi = 3.14159265358979323846264338327950288L;

INSTANTIATE_TEST_SUITE_P(
    Calculation, FunctionValues,
    testing::Values(
        ValueCase{"sin(0.5)", 0.479425538604203L, 0}, ValueCase{"sin(1e19)", 0, 0},
        ValueCase{"arcsin(0.5)", kPi / 6, 0}, ValueCase{"arcsin(1)", kPi / 2, 0},
        ValueCase{"arcsin(1.5)", 0, 28}, ValueCase{"arcsin(-1.5)", 0, 28},
        ValueCase{"cos(0.5)", 0.8775825618903728L, 0}, ValueCase{"cos(1e19)", 0, 0},
        ValueCase{"arccos(0.5)", kPi / 3, 0}, ValueCase{"arccos(-1)", kPi, 0}, ValueCase{"arccos(2)", 0, 28},
        ValueCase{"tg(0)", 0, 0}, ValueCase{"tg(1)", 1.5574077246549023L, 0},
        ValueCase{"tg(1.57079632679489661923)", 0, 28}, ValueCase{"tg(1e20)", 0, 28},
        ValueCase{"arctg(1)", kPi / 4, 0}, ValueCase{"ctg(1)", 0.6420926159343306L, 0},
        ValueCase{"ctg(0)", 0, 28}, ValueCase{"arcctg(0)", kPi / 2, 0},
        ValueCase{"arcctg(2)", 0.4636476090008061L, 0}, ValueCase{"sec(0)", 1, 0},
        ValueCase{"sec(1)", 1.8508157176809255L, 0}, ValueCase{"sec(1.57079632679489661923)", 0, 28},
        ValueCase{"arcsec(2)", kPi / 3, 0}, ValueCase{"arcsec(0.5)", 0, 28}, ValueCase{"arcsec(0)", 0, 28},
        ValueCase{"cosec(1)", 1.1883951057781212L, 0}, ValueCase{"cosec(0)", 0, 28},
        ValueCase{"arccosec(2)", kPi / 6, 0}, ValueCase{"arccosec(0.5)", 0, 28}, ValueCase{"sh(0)", 0, 0},
        ValueCase{"sh(1)", 1.1752011936438014L, 0}, ValueCase{"sh(20000)", 0, 28},
        ValueCase{"arcsh(1)", 0.881373587019543L, 0}, ValueCase{"arcsh(-2)", -1.4436354751788103L, 0},
        ValueCase{"ch(0)", 1, 0}, ValueCase{"ch(1)", 1.5430806348152437L, 0},
        ValueCase{"arcch(2)", 1.3169578969248166L, 0}, ValueCase{"arcch(1)", 0, 0},
        ValueCase{"arcch(-1)", 0, 28}, ValueCase{"arcch(0.5)", 0, 28}, ValueCase{"th(0)", 0, 0},
        ValueCase{"th(1)", 0.7615941559557649L, 0}, ValueCase{"arcth(0.5)", 0.5493061443340548L, 0},
        ValueCase{"arcth(2)", 0, 28}, ValueCase{"arcth(-2)", 0, 28}, ValueCase{"arcth(1)", 0, 28},
        ValueCase{"cth(1)", 1.3130352854993315L, 0}, ValueCase{"cth(0)", 0, 28},
        ValueCase{"arccth(2)", 0.5493061443340549L, 0}, ValueCase{"arccth(0.5)", 0, 28},
        ValueCase{"arccth(1)", 0, 28}, ValueCase{"arccth(-1)", 0, 28}, ValueCase{"sech(0)", 1, 0},
        ValueCase{"sech(1)", 0.6480542736638855L, 0}, ValueCase{"arcsech(0.5)", 1.3169578969248166L, 0},
        ValueCase{"arcsech(0)", 0, 0}, ValueCase{"arcsech(2)", 0, 28}, ValueCase{"arcsech(-0.5)", 0, 28},
        ValueCase{"csch(1)", 0.8509181282393216L, 0}, ValueCase{"csch(0)", 0, 28},
        ValueCase{"arccsch(1)", 0.881373587019543L, 0}, ValueCase{"arccsch(0)", 0, 28},
        ValueCase{"sqr(-3)", 9, 0}, ValueCase{"sqr(1e3000)", 0, 28},
        ValueCase{"sqrt(2)", 1.4142135623730951L, 0}, ValueCase{"sqrt(-1)", 0, 28},
        ValueCase{"exp(1)", 2.718281828459045L, 0}, ValueCase{"exp(20000)", 0, 28},
        ValueCase{"ln(10)", 2.302585092994046L, 0}, ValueCase{"ln(0)", 0, 28}, ValueCase{"ln(-1)", 0, 28},
        ValueCase{"pow2(10)", 1024, 0}, ValueCase{"pow2(0.5)", 1.4142135623730951L, 0},
        ValueCase{"pow2(-2)", 0.25, 0}, ValueCase{"log2(8)", 3, 0}, ValueCase{"log2(0)", 0, 28},
        ValueCase{"pow10(3)", 1000, 0}, ValueCase{"pow10(-2)", 0.01, 0}, ValueCase{"pow10(5000)", 0, 28},
        ValueCase{"lg(1000)", 3, 0}, ValueCase{"lg(-1)", 0, 28}, ValueCase{"pow(2,10)", 1024, 0},
        ValueCase{"pow(-2,3)", -8, 0}, ValueCase{"pow(2,-2)", 0.25, 0}, ValueCase{"pow(4,0.5)", 2, 0},
        ValueCase{"pow(0,2)", 0, 0}, ValueCase{"pow(0,0)", 1, 0}, ValueCase{"pow(0,-1)", 0, 28},
        ValueCase{"pow(-8,1/3)", 0, 28}, ValueCase{"pow(3,2147483648)", 0, 28}, ValueCase{"root(2,9)", 3, 0},
        ValueCase{"root(0,9)", 0, 28}, ValueCase{"root(3,-8)", 0, 28}, ValueCase{"log(2,8)", 3, 0},
        ValueCase{"log(3,5)", 1.4649735207179269L, 0}, ValueCase{"log(2,0)", 0, 28},
        ValueCase{"log(1,5)", 0, 28}, ValueCase{"log(-2,4)", 0, 28},
        // Operators; an overflow is a failed fold like a bad argument.
        ValueCase{"2+3", 5, 0}, ValueCase{"2-3", -1, 0}, ValueCase{"2*3", 6, 0}, ValueCase{"6/4", 1.5, 0},
        ValueCase{"-(2)", -2, 0}, ValueCase{"+(2)", 2, 0}, ValueCase{"1/0", 0, 29},
        ValueCase{"1e4000*1e4000", 0, 28}, ValueCase{"-1e4000*1e4000", 0, 28},
        ValueCase{"1e-4000/1e4000", 0, 0},
        // A failed fold leaves 0 and the calculation goes on with it.
        ValueCase{"1+sqrt(-1)", 1, 28}, ValueCase{"2*(1/0)+5", 5, 29}));

TEST(Calculation, TheLastFailingStepLeavesItsCode) {
    EXPECT_EQ(calculate("1/0+sqrt(-1)").code, 28);
    EXPECT_EQ(calculate("sqrt(-1)+1/0").code, 29);
    EXPECT_EQ(calculate("x/0+sqrt(-1)*0+1/0").code, 29);
}

TEST(Calculation, ClearsTheCodeAndLeavesTheSourceUnchanged) {
    OwnedExpression e = parse("y=x+0");
    long double value;
    StrToVal("12a", &value);
    ASSERT_EQ(SolverLastResult(), 4);
    OwnedExpression c(CalcExpression(e.get()));
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(text_of(c.get()), "y=x");
    EXPECT_EQ(text_of(e.get()), "y=x+0");
    EXPECT_EQ(CalcExpression(nullptr), nullptr);
}

TEST(Calculation, KeepsTheFieldsOfNumbersAndVariables) {
    // Number texts are copied as they stand, not reformatted.
    EXPECT_EQ(calculate("y=x*2.50").text, "y=x*2.50");
    EXPECT_EQ(calculate("y=1,5").text, "y=5");
    EXPECT_EQ(calculate("y=x+2e").text, "y=x+2e");
}

// Formulas as deep or as long as the caller's buffer allows.
class DeepFormulas : public testing::Test {
  protected:
    static std::string repeated(const std::string &piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i) text += piece;
        return text;
    }
};

TEST_F(DeepFormulas, NestedBracketsCalculate) {
    OwnedExpression e = parse("y=" + repeated("(", 20000) + "x+1" + repeated(")", 20000));
    ASSERT_EQ(SolverLastResult(), 0);
    SetExpressionVariable(e.get(), "x", "2");
    OwnedExpression c(CalcExpression(e.get()));
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(text_of(c.get()), "y=3");
}

TEST_F(DeepFormulas, NestedFunctionsAndNegationsCalculate) {
    OwnedExpression e = parse("y=" + repeated("sqrt(", 10000) + "x" + repeated(")", 10000));
    ASSERT_EQ(SolverLastResult(), 0);
    SetExpressionVariable(e.get(), "x", "1");
    OwnedExpression c(CalcExpression(e.get()));
    EXPECT_EQ(text_of(c.get()), "y=1");

    OwnedExpression negations = parse("y=" + repeated("-(", 15000) + "x" + repeated(")", 15000));
    ASSERT_EQ(SolverLastResult(), 0);
    OwnedExpression n(CalcExpression(negations.get()));
    EXPECT_EQ(text_of(n.get()), "y=x");
}

TEST_F(DeepFormulas, LongSumsCalculate) {
    OwnedExpression e = parse("y=x" + repeated("+x", 19999));
    ASSERT_EQ(SolverLastResult(), 0);
    OwnedExpression symbolic(CalcExpression(e.get()));
    EXPECT_EQ(text_of(symbolic.get()), "y=2*x" + repeated("+x", 19998));
    SetExpressionVariable(e.get(), "x", "1");
    OwnedExpression c(CalcExpression(e.get()));
    EXPECT_EQ(text_of(c.get()), "y=20000");
}

TEST_F(DeepFormulas, ASubstitutedTextBeyondTheBufferIsCut) {
    OwnedExpression e = parse("y=x" + repeated("+x", 1199));
    SetExpressionVariable(e.get(), "x", "sin(abcdefghijklmnopqrstuvw)*sin(abcdefghijklmnopqrstuvw)");
    ASSERT_EQ(SolverLastResult(), 0);
    // The program's buffer with guard bytes behind it.
    std::vector<char> buffer(SOLVER_TEXT_BUFFER + 64, '#');
    char *out = buffer.data();
    GetStrExpression(e.get(), &out);
    EXPECT_EQ(std::strlen(buffer.data()), size_t(SOLVER_TEXT_BUFFER - 1));
    for (size_t i = SOLVER_TEXT_BUFFER; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#');
    OwnedExpression c(CalcExpression(e.get()));
    EXPECT_EQ(text_of(c.get()).substr(0, 30), "y=2*sqr(sin(abcdefghijklmnopqr");
}

}  // namespace
