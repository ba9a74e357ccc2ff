// The text form of trees and the questions about their variables.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "parse_helpers.h"

namespace {

using parsing::parse;
using parsing::read_text;
using parsing::text_of;

std::string variables_of(Expression e) {
    return read_text([&](char **out) { ExpressionVariables(e, out); });
}

std::string value_of(Expression e, const char *name) {
    return read_text([&](char **out) { ExpressionVarValue(e, name, out); });
}

std::pair<std::string, std::string> vars_and_results_of(Expression e) {
    std::string results;
    const std::string vars = read_text([&](char **vars_out) {
        results = read_text([&](char **results_out) { ExpressionVarsAndResult(e, vars_out, results_out); });
    });
    return {vars, results};
}

std::string repeated(const std::string &piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

class TextFormTest : public ::testing::Test {
  protected:
    void SetUp() override { SolverInit(); }
    void TearDown() override { SolverDone(); }
};

TEST_F(TextFormTest, OperatorsGetTheBracketsTheyNeed) {
    const std::pair<const char *, const char *> cases[] = {
        {"F = m * a", "F=m*a"},
        {"a-(b-c)", "a-(b-c)"},
        {"(a-b)-c", "a-b-c"},
        {"a/(b/c)", "a/(b/c)"},
        {"a/(b*c)", "a/(b*c)"},
        {"(a/b)*c", "a/b*c"},
        {"a*(b/c)", "a*b/c"},
        {"a-(b*c)", "a-(b*c)"},
        {"a-b*c", "a-(b*c)"},
        {"a+(b*c)", "a+b*c"},
        {"a+(b+c)", "a+b+c"},
        {"a+(b-c)", "a+b-c"},
        {"(a+b)*c", "(a+b)*c"},
        {"c*(a+b)", "c*(a+b)"},
        {"(-a)*b", "(-a)*b"},
        {"a*(-b)", "a*(-b)"},
        {"a+(-b)", "a+(-b)"},
        {"-(a+b)", "-(a+b)"},
        {"-(x*y)", "-(x*y)"},
        {"-(-x)", "-(-x)"},
        {"+x", "+x"},
        {"pow(x,2)+1", "pow(x,2)+1"},
        {"sin((a+b))*2", "sin(a+b)*2"},
        {"(sin(x))*(y)", "sin(x)*y"},
        {"x<=(y+1)", "x<=y+1"},
        {"(a=b)", "a=b"},
        {"log(2,x)<>root(3,y)", "log(2,x)<>root(3,y)"},
    };
    for (const auto &[text, form] : cases) {
        SCOPED_TRACE(text);
        const auto tree = parse(text);
        ASSERT_EQ(SolverLastResult(), 0);
        EXPECT_EQ(text_of(tree.get()), form);
    }
    EXPECT_EQ(text_of(nullptr), "");
}

// Trees as the calculation makes them: numbers whose text is FormatValue's.
SolverNode *node(uint8_t kind, uint8_t index, const char *name, SolverNode *left = nullptr,
                 SolverNode *right = nullptr) {
    auto *n = new SolverNode;
    n->Kind = kind;
    n->Index = index;
    std::snprintf(n->Name, sizeof n->Name, "%.24s", name);
    n->Left = left;
    n->Right = right;
    return n;
}

TEST_F(TextFormTest, NumbersAreWrittenAsTheyAreStored) {
    using namespace solver;
    char big[32];
    char *out = big;
    ValToStr(1e20L, &out);
    const parsing::Tree y(
        node(RelationNode, kEqual, "", node(VariableNode, kNoIndex, "y"), node(NumberNode, kNoIndex, big)));
    EXPECT_EQ(text_of(y.get()), "y= 1.00000000000000E+0020");
    EXPECT_EQ(value_of(y.get(), "y"), " 1.00000000000000E+0020");
    const parsing::Tree sum(
        node(OperatorNode, kPlus, "", node(VariableNode, kNoIndex, "a"), node(NumberNode, kNoIndex, "-2.5")));
    EXPECT_EQ(text_of(sum.get()), "a+-2.5");
}

// A text form longer than the caller's buffer is cut to it: "a-b*c" prints
// as "a-(b*c)", so a 60 KiB text prints as 90 KiB.
TEST_F(TextFormTest, ALongTextFormIsCutToTheBuffer) {
    const std::string text = "a" + repeated("-b*c", 15000);
    const std::string form = "a" + repeated("-(b*c)", 15000);
    const auto tree = parse(text);
    ASSERT_EQ(SolverLastResult(), 0);
    const std::string written = text_of(tree.get());  // read_text checks the bytes past the buffer
    EXPECT_EQ(written.size(), SOLVER_TEXT_BUFFER - 1);
    EXPECT_TRUE(written == form.substr(0, SOLVER_TEXT_BUFFER - 1));
    const std::string value = value_of(tree.get(), "a");
    EXPECT_EQ(value.size(), SOLVER_TEXT_BUFFER - 1);
}

TEST_F(TextFormTest, VariablesAreListedOnceInOrderOfAppearance) {
    const std::pair<const char *, const char *> cases[] = {
        {"y=a*b+a*c", "y;a;b;c"},
        {"2*3", ""},
        {"x", "x"},
        {"pow(b,a)=sin(a)+X", "b;a;X"},
        {"Сила=масса*ускорение", "Сила;масса;ускорение"},
        {"x=X", "x;X"},  // names are compared exactly
        {"a<b<a<c", "a;b;c"},
    };
    for (const auto &[text, names] : cases) {
        SCOPED_TRACE(text);
        const auto tree = parse(text);
        ASSERT_EQ(SolverLastResult(), 0);
        EXPECT_EQ(variables_of(tree.get()), names);
    }
    EXPECT_EQ(variables_of(nullptr), "");
}

struct Split {
    const char *text;
    const char *vars;
    const char *results;
};

TEST_F(TextFormTest, ResultsAreTheVariablesThatFormAWholeSide) {
    const Split cases[] = {
        {"F=m*a", "m;a", "F"},  {"a=b", "", "a;b"}, {"x+y", "x;y", ""},    {"x", "", "x"},
        {"y=y+1", "", "y"},     {"a=a", "", "a"},   {"m*a=F", "m;a", "F"}, {"a<b<c+d", "c;d", "a;b"},
        {"c=b<a", "", "c;b;a"}, {"2=3", "", ""},
    };
    for (const Split &c : cases) {
        SCOPED_TRACE(c.text);
        const auto tree = parse(c.text);
        ASSERT_EQ(SolverLastResult(), 0);
        const auto [vars, results] = vars_and_results_of(tree.get());
        EXPECT_EQ(vars, c.vars);
        EXPECT_EQ(results, c.results);
    }
}

struct Value {
    const char *text;
    const char *name;
    const char *value;
};

TEST_F(TextFormTest, AVariableEqualsTheLastOtherSide) {
    const Value cases[] = {
        {"y=6", "y", "6"},     {"y=a*b", "y", "a*b"}, {"y=x+1", "y", "x+1"}, {"a=b", "a", "b"},
        {"a=b", "b", "a"},     {"x+y=5", "x", "5"},   {"5=x+y", "x", "x+y"}, {"y=x+1", "z", ""},
        {"y=x+1", "x", "x+1"}, {"a<b<c", "b", "c"},   {"a<b<c", "c", "b"},   {"x", "x", ""},
        {"x+1", "x", "x+1"},
    };
    for (const Value &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.name);
        const auto tree = parse(c.text);
        ASSERT_EQ(SolverLastResult(), 0);
        EXPECT_EQ(value_of(tree.get(), c.name), c.value);
    }
    EXPECT_EQ(value_of(nullptr, "x"), "");
}

// The queries leave the tree and the register as they were.
TEST_F(TextFormTest, QueriesChangeNothing) {
    const auto tree = parse("y=a*b+a*c");
    long double value = 0;
    StrToVal("bad", &value);
    ASSERT_EQ(SolverLastResult(), 4);
    text_of(tree.get());
    variables_of(tree.get());
    vars_and_results_of(tree.get());
    value_of(tree.get(), "y");
    EXPECT_EQ(SolverLastResult(), 4);
    EXPECT_EQ(text_of(tree.get()), "y=a*b+a*c");
}

TEST_F(TextFormTest, DeepTreesAreQueried) {
    const std::string sum = "y=" + repeated("a+", 20000) + "b";
    const auto tree = parse(sum);
    ASSERT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(variables_of(tree.get()), "y;a;b");
    EXPECT_EQ(vars_and_results_of(tree.get()), std::make_pair(std::string("a;b"), std::string("y")));
    EXPECT_TRUE(value_of(tree.get(), "y") == sum.substr(2));
    const std::string nested = "y=" + repeated("sqrt(", 12000) + "x" + repeated(")", 12000);
    const auto deep = parse(nested);
    ASSERT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(variables_of(deep.get()), "y;x");
}

}  // namespace
