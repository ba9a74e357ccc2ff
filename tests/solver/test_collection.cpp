// Systems of formulas: the list itself, solving for wanted variables and
// calculating with values passed between the members.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "solving_helpers.h"

using namespace solving;

namespace {

using Texts = std::vector<std::string>;

TEST(CollectionList, IndexDeleteAndOwnership) {
    OwnedCollection c(CreateCollection());
    EXPECT_EQ(CollectionAmount(c.get()), 0);
    Expression first = CreateExpression("y=2*x");
    Expression second = CreateExpression("z=y+1");
    Expression third = CreateExpression("w=z");
    AddToCollection(c.get(), first);
    AddToCollection(c.get(), second);
    AddToCollection(c.get(), third);
    EXPECT_EQ(CollectionAmount(c.get()), 3);

    for (int32_t index : {-1, 3, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(GetExpressionByIndex(c.get(), index), nullptr);
        EXPECT_EQ(SolverLastResult(), 45) << index;
    }
    EXPECT_EQ(GetExpressionByIndex(c.get(), 1), second);
    EXPECT_EQ(SolverLastResult(), 0);

    DeleteFromCollection(c.get(), second);
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(member_texts(c.get()), (Texts{"y=2*x", "w=z"}));
    DeleteFromCollection(c.get(), second);
    EXPECT_EQ(SolverLastResult(), 44);
    EXPECT_EQ(CollectionAmount(c.get()), 2);

    // The deleted member belongs to the caller again and outlives the collection.
    c.reset();
    EXPECT_EQ(text_of(second), "z=y+1");
    DestroyExpression(second);
}

TEST(CollectionList, AHandleAddedTwiceIsDestroyedOnce) {
    OwnedCollection c(CreateCollection());
    Expression e = CreateExpression("a=b");
    AddToCollection(c.get(), e);
    AddToCollection(c.get(), e);
    AddToCollection(c.get(), nullptr);
    EXPECT_EQ(CollectionAmount(c.get()), 2);
    DeleteFromCollection(c.get(), e);
    EXPECT_EQ(CollectionAmount(c.get()), 1);
}

TEST(CollectionQueries, VariablesResultsAndValues) {
    OwnedCollection c = collection_of({"F=m*a", "a=v/t"});
    EXPECT_EQ(read_text([&](char **out) { CollectionVariables(c.get(), out); }), "F;m;a;v;t");
    std::vector<char> vars(SOLVER_TEXT_BUFFER), results(SOLVER_TEXT_BUFFER);
    char *v = vars.data(), *r = results.data();
    CollectionVarsAndResult(c.get(), &v, &r);
    EXPECT_STREQ(r, "F;a");
    EXPECT_STREQ(v, "m;v;t");

    auto value = [&](const char *name) {
        return read_text([&](char **out) { CollectionVarValue(c.get(), name, out); });
    };
    EXPECT_EQ(value("F"), "m*a");
    EXPECT_EQ(value("a"), "m*a") << "the first member that can tell";
    EXPECT_EQ(value("t"), "v/t");
    EXPECT_EQ(value("q"), "");

    OwnedCollection empty(CreateCollection());
    EXPECT_EQ(read_text([&](char **out) { CollectionVariables(empty.get(), out); }), "");
}

TEST(CollectionQueries, SetVariableReachesEveryMember) {
    OwnedCollection c = collection_of({"y=2*x", "z=x+y"});
    SetCollectionVariable(c.get(), "x", "3");
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(member_texts(c.get()), (Texts{"y=2*3", "z=3+y"}));
    SetCollectionVariable(c.get(), "y", "a=b");
    EXPECT_EQ(SolverLastResult(), 27);
    EXPECT_EQ(member_texts(c.get()), (Texts{"y=2*3", "z=3+y"}));
}

struct CalcCase {
    Texts members;
    Substitutions values;
    Texts calculated;
    uint16_t code;
};

class CalculatedSystems : public testing::TestWithParam<CalcCase> {};

TEST_P(CalculatedSystems, PassValuesBetweenMembers) {
    const CalcCase &c = GetParam();
    OwnedCollection system = collection_of(c.members);
    for (const auto &[name, value] : c.values)
        SetCollectionVariable(system.get(), name.c_str(), value.c_str());
    const Texts before = member_texts(system.get());
    OwnedCollection calculated(CalcCollection(system.get()));
    EXPECT_EQ(SolverLastResult(), c.code);
    EXPECT_EQ(member_texts(calculated.get()), c.calculated);
    EXPECT_EQ(member_texts(system.get()), before) << "the source system is unchanged";
}

INSTANTIATE_TEST_SUITE_P(
    Collection, CalculatedSystems,
    testing::Values(CalcCase{{"y=2*x", "z=y+1"}, {{"x", "3"}}, {"y=6", "z=7"}, 0},
                    CalcCase{{"z=y+1", "y=2*x"}, {{"x", "3"}}, {"z=7", "y=6"}, 0},
                    // A chain in solved form takes one pass.
                    CalcCase{{"a=b+1", "b=c*2", "c=d-3"}, {{"d", "5"}}, {"a=5", "b=4", "c=2"}, 0},
                    // Without values, the defining side itself is passed on.
                    CalcCase{{"F=m*a", "a=v/t"}, {}, {"F=m*v/t", "a=v/t"}, 0},
                    // The number side of the defining member wins over its others.
                    CalcCase{{"y=x+1", "x=2"}, {}, {"y=3", "x=2"}, 0},
                    // A member that defines and uses its own variable defines nothing.
                    CalcCase{{"y=y*2+1", "z=y"}, {}, {"y=y*2+1", "z=y"}, 0},
                    // Relations of one direction may be combined; opposite ones may not.
                    CalcCase{{"a<=y<b", "z=y+1"}, {}, {"a<=y<b", "z=a+1"}, 0},
                    CalcCase{{"a<y>b", "z=y+1"}, {}, {"a<y>b", "z=a+1"}, 34},
                    CalcCase{{"y<>2*a", "z=y+1"}, {}, {"y<>2*a", "z=2*a+1"}, 0},
                    // Names are passed in order of appearance, each from the members as
                    // they stand then: y goes into z first, and then the a that z holds
                    // is defined by the first member, which gives back its y.
                    CalcCase{{"y=a", "z=y+1"}, {}, {"y=a", "z=y+1"}, 0},
                    // Failed folds go on with 0.
                    CalcCase{{"y=1/x", "z=y+1"}, {{"x", "0"}}, {"y=0", "z=1"}, 29},
                    CalcCase{{"y=sqrt(x)", "z=y+1"}, {{"x", "-4"}}, {"y=0", "z=1"}, 28}));

struct SolveCase {
    Texts members;
    const char *given;
    const char *wanted;
    Texts solved;
    const char *derivation;
    uint16_t code;
};

class SolvedSystems : public testing::TestWithParam<SolveCase> {};

TEST_P(SolvedSystems, GiveFormulasAndTheirDerivation) {
    const SolveCase &c = GetParam();
    OwnedCollection system = collection_of(c.members);
    const Texts before = member_texts(system.get());
    std::string derivation;
    OwnedCollection solved(CreateCollection());
    derivation = read_text(
        [&](char **out) { solved.reset(TransposeCollection(system.get(), c.given, c.wanted, out)); });
    EXPECT_EQ(SolverLastResult(), c.code);
    ASSERT_NE(solved.get(), nullptr);
    EXPECT_EQ(member_texts(solved.get()), c.solved);
    EXPECT_EQ(derivation, c.derivation);
    EXPECT_EQ(member_texts(system.get()), before) << "the source system is unchanged";
}

INSTANTIATE_TEST_SUITE_P(
    Collection, SolvedSystems,
    testing::Values(
        SolveCase{{"F=m*a", "a=v/t"}, "m;v;t", "F", {"F=m*v/t"}, "F=m*a  -> a=v/t  => F=m*v/t", 0},
        SolveCase{
            {"F=m*a", "a=v/t"}, "m;v;t", "F;a", {"F=m*v/t", "a=v/t"}, "F=m*a  -> a=v/t  => F=m*v/t;a=v/t", 0},
        // Solving a member for the wanted variable, then for an unknown.
        SolveCase{{"F=m*a", "a=v/t"}, "F;m;t", "v", {"v=F/m*t"}, "v=a*t  -> a=F/m  => v=F/m*t", 0},
        // A five-formula chain, searched backwards.
        SolveCase{{"a=b+1", "b=c*2", "c=d-3", "d=e/4", "e=f+5"},
                  "f",
                  "a",
                  {"a=((f+5)/4-3)*2+1"},
                  "a=b+1  -> b=c*2  -> c=d-3  -> d=e/4  -> e=f+5  => d=(f+5)/4  => c=(f+5)/4-3"
                  "  => b=((f+5)/4-3)*2  => a=((f+5)/4-3)*2+1",
                  0},
        // A member whose variables are all given.
        SolveCase{{"F=m*a", "a=v/t"}, "m;a;v;t", "F", {}, "", 46},
        // No member contains the wanted variable, or the empty name.
        SolveCase{{"F=m*a", "a=v/t"}, "m;v;t", "q", {}, "", 35},
        SolveCase{{"F=m*a", "a=v/t"}, "m;v;t", "", {}, "", 35},
        // Every formula is used once on a path.
        SolveCase{{"a=b+c", "b=a-1"}, "c", "a", {}, "", 35},
        // A later wanted variable fails: everything solved before is dropped,
        // the derivations so far are still written.
        SolveCase{{"F=m*a", "a=v/t"}, "m;v;t", "F;q", {}, "F=m*a  -> a=v/t  => F=m*v/t;", 35},
        // A transposition that fails ends the search.
        SolveCase{{"y=x*x"}, "y", "x", {}, "y=x*x", 35}));

TEST(SolvedSystems, TheSolutionCalculatesToTheValuesOfTheChain) {
    OwnedCollection system = collection_of({"a=b+1", "b=c*2", "c=d-3", "d=e/4", "e=f+5"});
    std::string derivation = read_text([&](char **out) {
        OwnedCollection solved(TransposeCollection(system.get(), "f", "a;c", out));
        ASSERT_EQ(SolverLastResult(), 0);
        SetCollectionVariable(solved.get(), "f", "7");
        OwnedCollection calculated(CalcCollection(solved.get()));
        EXPECT_EQ(SolverLastResult(), 0);
        EXPECT_EQ(member_texts(calculated.get()), (Texts{"a=1", "c=0"}));
    });
    EXPECT_NE(derivation.find(";c=d-3  -> d=e/4"), std::string::npos) << derivation;
}

std::string repeated(const std::string &piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(SolvedSystems, ADerivationBeyondTheBufferIsCut) {
    // a=v*v*...*v is printed twice in the derivation: about 80 KiB.
    OwnedCollection system = collection_of({"F=m*a", "a=v" + repeated("*v", 20000)});
    std::vector<char> buffer(SOLVER_TEXT_BUFFER + 64, '#');
    char *out = buffer.data();
    OwnedCollection solved(TransposeCollection(system.get(), "m;v", "F", &out));
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(std::strlen(buffer.data()), size_t(SOLVER_TEXT_BUFFER - 1));
    for (size_t i = SOLVER_TEXT_BUFFER; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], '#');
    EXPECT_EQ(std::string(buffer.data(), 14), "F=m*a  -> a=v*");
}

TEST(SolvedSystems, LongChainsOfMembersAreSearched) {
    // x0=x1+1, x1=x2+1, ..., x1999=g: the search goes 2000 members deep.
    constexpr int kMembers = 2000;
    Texts members;
    for (int i = 0; i < kMembers; ++i)
        members.push_back("x" + std::to_string(i) + "=" +
                          (i + 1 < kMembers ? "x" + std::to_string(i + 1) + "+1" : std::string("g")));
    OwnedCollection system = collection_of(members);
    std::vector<char> buffer(SOLVER_TEXT_BUFFER);
    char *out = buffer.data();
    OwnedCollection solved(TransposeCollection(system.get(), "g", "x0", &out));
    ASSERT_EQ(SolverLastResult(), 0);
    ASSERT_EQ(CollectionAmount(solved.get()), 1);
    EXPECT_EQ(text_of(GetExpressionByIndex(solved.get(), 0)), "x0=g" + repeated("+1", kMembers - 1));

    SetCollectionVariable(solved.get(), "g", "5");
    OwnedCollection calculated(CalcCollection(solved.get()));
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(text_of(GetExpressionByIndex(calculated.get(), 0)), "x0=2004");
}

}  // namespace
