// Formula texts into trees: the faults of the text analysis, the shape of the
// trees and their quirks, deep inputs, and the relation check.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "parse_helpers.h"

namespace {

using parsing::dump;
using parsing::parse;
using parsing::text_of;

struct Case {
    const char *text;
    uint16_t code;
    const char *tree;  // text form; "" for no tree
};

class ExpressionTest : public ::testing::Test {
  protected:
    void SetUp() override { SolverInit(); }
    void TearDown() override { SolverDone(); }
};

TEST_F(ExpressionTest, TextsGiveTheirCodesAndTrees) {
    const Case cases[] = {
        // text with blanks; blanks join what they separate
        {"F = m * a", 0, "F=m*a"},
        {"a b+1 2", 0, "ab+12"},
        {"   ", 0, ""},
        {"", 1, ""},
        // operands, unary signs, brackets
        {"a-b-c", 0, "a-b-c"},
        {"a-(b-c)", 0, "a-(b-c)"},
        {"-a*b", 0, "(-a)*b"},
        {"-sin(x)", 0, "-sin(x)"},
        {"2*(-3)", 0, "2*(-3)"},
        {"y=-x", 0, "y=-x"},
        {"pow(-x,+y)", 0, "pow(-x,+y)"},
        {"1.5*.5", 0, "1.5*.5"},
        {"1e-3+2E+5", 0, "1e-3+2E+5"},
        {"2e", 0, "2e"},
        {"1.5е3", 0, "1.5е3"},
        {"(a+1)=F", 0, "a+1=F"},
        {"x<=y", 0, "x<=y"},
        {"x>=y", 0, "x>=y"},
        {"x<>y", 0, "x<>y"},
        {"a<b<c", 0, "a<b<c"},
        {"Сила=масса*ускорение", 0, "Сила=масса*ускорение"},
        {"_x#1=ёж", 2, ""},
        // quirks of the analysis and of the tree building
        {"y=1,5", 0, "y=5"},
        {"x=<y", 0, "=<y"},
        {"a==b", 0, "==b"},
        {"sin(x)cos(y)", 0, "sin(x)"},
        {"(a)b", 0, "b"},
        {"a+b,c", 0, "a+c"},
        {"pow(x,2)", 0, "pow(x,2)"},
        {"pow(pow(a,b),c)", 0, "pow(pow(a,b),c)"},
        {"pow(a,pow(b,c))", 0, "pow(a,pow(b,c))"},
        {"root(2,x)+log(2,8)", 0, "root(2,x)+log(2,8)"},
        {"(1,2)", 13, ""},
        {"((1,2))", 0, "2"},
        {"((a))", 0, "a"},
        {"()", 18, ""},
        // faults of the analysis, in the order of the code table
        {"a^2", 2, ""},
        {"a;b", 2, ""},
        {"a\tb", 2, ""},
        {"a?b", 2, ""},
        {"2x", 3, ""},
        {"y=2ex", 3, ""},
        {"x.5", 3, ""},
        {"x=.5", 3, ""},
        {"1.2.3", 4, ""},
        {"1e5e2", 4, ""},
        {"1e5.2", 4, ""},
        {"=x", 5, ""},
        {"a+=b", 6, ""},
        {"sin=x", 7, ""},
        {"*a", 8, ""},
        {"a+*b", 9, ""},
        {"a+sin*b", 10, ""},
        {"sin+x", 10, ""},
        {"a=*b", 11, ""},
        {"2*-3", 12, ""},
        {"a+-b", 12, ""},
        {",a", 13, ""},
        {"a,b", 13, ""},
        {"pow(,x)", 14, ""},
        {"x+a=,b", 15, ""},
        {"pow(sin,x)", 16, ""},
        {"x=(y)(z)", 17, ""},
        {"Sin(x)", 17, ""},
        {"2(x)", 17, ""},
        {"x=sin()", 18, ""},
        {"(a+)", 18, ""},
        {"sin(sin)", 19, ""},
        {"(a=)", 20, ""},
        {"x=y)", 21, ""},
        {")", 21, ""},
        {"x=sin", 22, ""},
        {"x=", 23, ""},
        {"x<", 23, ""},
        {"x=sin(y", 24, ""},
        {"((a)", 24, ""},
        // faults of the tree building
        {"pow(x 2)", 25, ""},
        {"pow(pow(pow(a,b),c),d)", 25, ""},
        {"sin(x,y)", 26, ""},
        {"sqrt((x),y)", 26, ""},
        {"sin(pow(a,b))", 0, "sin(pow(a,b))"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const auto tree = parse(c.text);
        EXPECT_EQ(SolverLastResult(), c.code);
        if (c.code >= 1 && c.code <= 24) {
            EXPECT_EQ(tree, nullptr);
        } else if (c.code == 0) {
            EXPECT_EQ(text_of(tree.get()), c.tree);
        }
    }
}

// Precedence, associativity and the Level each node keeps from its token.
TEST_F(ExpressionTest, TreesHaveTheirShape) {
    const std::pair<const char *, const char *> cases[] = {
        {"F=m*a", "{F = [m *@2 a]}"},     {"a-b-c", "[[a -@1 b] -@1 c]"},
        {"a/b*c", "[[a /@2 b] *@2 c]"},   {"a+b*c", "[a +@1 [b *@2 c]]"},
        {"a-(b-c)", "[a -@1 [b -@5 c]]"}, {"-a*b", "[[-@3 a] *@2 b]"},
        {"-a+b", "[[-@3 a] +@1 b]"},      {"-sin(x)", "[-@3 sin@4(x)]"},
        {"2*(-3)", "[2 *@2 [-@7 3]]"},    {"sin(x)*cos(y)", "[sin@4(x) *@2 cos@4(y)]"},
        {"pow(x,2)", "pow@4(x,2)"},       {"pow(a,pow(b,c))", "pow@4(a,pow@8(b,c))"},
        {"a<b<c", "{a < {b < c}}"},       {"x=a<b", "{x = {a < b}}"},
        {"y=-x", "{y = [-@3 x]}"},        {"(a=b)+c", "{a = [b +@1 c]}"},
        {"(sin(x=y))", "{sin@8(x) = y}"},
    };
    for (const auto &[text, shape] : cases) {
        SCOPED_TRACE(text);
        const auto tree = parse(text);
        EXPECT_EQ(SolverLastResult(), 0);
        EXPECT_EQ(dump(tree.get()), shape);
    }
}

TEST_F(ExpressionTest, NamesAndNumbersAreCutToTwentyFourCharacters) {
    const std::string name30 = "abcdefghijklmnopqrstuvwxyz_#";
    const std::string number30 = "123456789012345678901234567890";
    auto tree = parse(name30 + "=" + number30);
    EXPECT_EQ(SolverLastResult(), 0);
    EXPECT_EQ(text_of(tree.get()), name30.substr(0, 24) + "=" + number30.substr(0, 24));
    // Names that agree in their first 24 characters are one variable.
    tree = parse(name30 + "+" + name30.substr(0, 24) + "xyz");
    char buffer[SOLVER_TEXT_BUFFER];
    char *out = buffer;
    ExpressionVariables(tree.get(), &out);
    EXPECT_EQ(std::string(buffer), name30.substr(0, 24));
}

// Every byte on its own: what the character classes make of it.
TEST_F(ExpressionTest, EveryByteIsClassified) {
    for (int byte = 1; byte < 256; ++byte) {
        const char text[] = {static_cast<char>(byte), 0};
        uint16_t expected = 2;
        if (byte == ' ' || byte == '.' || byte == '+' || byte == '-' || byte == '_' || byte == '#' ||
            (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            byte >= 0xC0)
            expected = 0;
        else if (byte == ',')
            expected = 13;
        else if (byte == '(')
            expected = 24;
        else if (byte == ')')
            expected = 21;
        else if (byte == '*' || byte == '/')
            expected = 8;
        else if (byte == '<' || byte == '=' || byte == '>')
            expected = 5;
        SCOPED_TRACE(byte);
        const auto tree = parse(text);
        EXPECT_EQ(SolverLastResult(), expected);
    }
}

TEST_F(ExpressionTest, CreatingClearsTheResultCode) {
    long double value = 0;
    StrToVal("12a", &value);
    ASSERT_EQ(SolverLastResult(), 4);
    const auto tree = parse("   ");
    EXPECT_EQ(tree, nullptr);
    EXPECT_EQ(SolverLastResult(), 0);
    DestroyExpression(nullptr);
    EXPECT_EQ(SolverLastResult(), 0);
}

TEST_F(ExpressionTest, RelationsAreChecked) {
    const std::pair<const char *, int> cases[] = {
        {"3<5", 1},      {"5<3", 0},   {"x<5", -1},   {"x+1", 1},  {"2=2", 1},
        {"2<>2", 0},     {"2<=2", 1},  {"3>=4", 0},   {"4>3", 1},  {"1<2<3", -1},
        {"1<(2<3)", -1}, {"2.0=2", 1}, {"1e1=10", 1}, {"x=y", -1}, {"sin(1)=1", -1},
    };
    for (const auto &[text, truth] : cases) {
        SCOPED_TRACE(text);
        const auto tree = parse(text);
        ASSERT_EQ(SolverLastResult(), 0);
        EXPECT_EQ(CheckExpression(tree.get()), truth);
    }
    EXPECT_EQ(CheckExpression(nullptr), 1);
}

// ---------------------------------------------------------------------------
// Deep and long texts: up to the size of the program's buffer, they parse,
// print and are destroyed without exhausting the stack.

std::string repeated(const std::string &piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST_F(ExpressionTest, DeepAndLongTextsParseAndPrint) {
    const int n = 20000;
    const std::string sum = "a" + repeated("+a", n - 1);
    // The innermost bracket holds a leaf only, and so is not printed.
    const std::string differences = "a" + repeated("-(a", n / 2) + repeated(")", n / 2);
    const std::string differences_printed =
        "a" + repeated("-(a", n / 2 - 1) + "-a" + repeated(")", n / 2 - 1);
    const std::string functions = repeated("sin(", 10000) + "x" + repeated(")", 10000);
    const std::string unary = repeated("-(", 15000) + "x" + repeated(")", 15000);
    const std::string unary_printed = repeated("-(", 14999) + "-x" + repeated(")", 14999);
    const std::string relations = "a" + repeated("<a", n - 1);
    const std::pair<std::string, std::string> cases[] = {
        {repeated("(", n) + "x" + repeated(")", n), "x"},
        {sum, sum},
        {differences, differences_printed},
        {functions, functions},
        {unary, unary_printed},
        {relations, relations},
        {repeated("pow(", 5000) + "x" + repeated(",2)", 5000), ""},  // nested first arguments: 25
    };
    for (const auto &[text, printed] : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        const auto tree = parse(text);
        EXPECT_EQ(SolverLastResult(), printed.empty() ? 25 : 0);
        EXPECT_TRUE(text_of(tree.get()) == printed);  // too long to be shown
    }
    const auto chain = parse(repeated("1<", n) + "2");
    EXPECT_EQ(CheckExpression(chain.get()), -1);
}

// ---------------------------------------------------------------------------
// The builder finds its split points through prepared tables; a literal
// builder that re-scans every range is the reference it must agree with.

struct Tok {
    uint8_t kind;
    uint8_t index = 255;
    unsigned level = 0;
    std::string text;
};

enum : uint8_t { kLeft, kRight, kComma, kNumber, kIdentifier, kFunction, kOperator, kRelation };

// The tree-building rules read word for word, as the reference for the fast
// builder: every range is scanned again from its start.
class LiteralBuilder {
  public:
    explicit LiteralBuilder(const std::vector<Tok> &t) : t_(t) {}

    std::string build(size_t lo, size_t hi) {
        long leaf = -1, split = -1;
        unsigned lowest = UINT_MAX;
        for (size_t i = lo; i < hi; ++i) {
            const Tok &k = t_[i];
            if (k.kind == kNumber || k.kind == kIdentifier) leaf = static_cast<long>(i);
            if (k.kind == kFunction && k.level < lowest) split = static_cast<long>(i), lowest = k.level;
            if (k.kind == kOperator && k.level <= lowest) split = static_cast<long>(i), lowest = k.level;
            if (k.kind == kRelation) {
                const std::string left = build(lo, i);
                if (code) return {};
                const std::string right = build(i + 1, hi);
                if (code) return {};
                return "{" + or_missing(left) + " " + t_[i].text + " " + or_missing(right) + "}";
            }
        }
        if (split < 0) return leaf < 0 ? std::string() : t_[leaf].text;
        const size_t p = static_cast<size_t>(split);
        const Tok &s = t_[p];
        const std::string level = "@" + std::to_string(s.level);
        if (s.kind == kOperator) {
            const bool unary = s.index < 2;
            std::string left;
            if (!unary) {
                left = build(lo, p);
                if (code) return {};
            }
            const std::string right = build(p + 1, hi);
            if (code) return {};
            return "[" + (unary ? std::string() : or_missing(left) + " ") + s.text + level + " " +
                   or_missing(right) + "]";
        }
        size_t q = hi;
        for (size_t j = p + 1, count = 0; j < hi; ++j) {
            if (t_[j].kind == kLeft) ++count;
            if (t_[j].kind == kRight && --count == 0) {
                q = j;
                break;
            }
        }
        const bool two = solver::kFunctions[s.index].arguments == 2;
        if (!two) {
            for (size_t j = p + 1; j < q; ++j) {
                if (two_argument(t_[j])) break;
                if (t_[j].kind == kComma) return code = 26, std::string();
            }
            const std::string argument = build(p + 1, q);
            if (code) return {};
            return s.text + level + "(" + or_missing(argument) + ")";
        }
        bool nested = false;
        long separator = -1;
        for (size_t j = p + 1; j < q && separator < 0; ++j) {
            if (two_argument(t_[j]))
                nested = true;
            else if (t_[j].kind == kComma && nested)
                nested = false;
            else if (t_[j].kind == kComma)
                separator = static_cast<long>(j);
        }
        if (separator < 0) return code = 25, std::string();
        const std::string first = build(p + 1, separator);
        if (code) return {};
        const std::string second = build(separator + 1, q);
        if (code) return {};
        return s.text + level + "(" + or_missing(first) + "," + or_missing(second) + ")";
    }

    uint16_t code = 0;

  private:
    static std::string or_missing(const std::string &tree) { return tree.empty() ? "_" : tree; }
    static bool two_argument(const Tok &k) {
        return k.kind == kFunction && solver::kFunctions[k.index].arguments == 2;
    }

    const std::vector<Tok> &t_;
};

// Random texts that the analysis accepts, with the token list it must make
// of them.  They favour what the builder's tables are about: commas in and
// out of functions, relations inside brackets, operands after ")".
class TextGenerator {
  public:
    explicit TextGenerator(unsigned seed) : rng_(seed) {}

    std::vector<Tok> tokens(int steps) {
        t_.clear();
        depth_ = 0;
        bool operand = true, unary = true;
        for (int i = 0; i < steps; ++i) {
            if (operand) {
                switch (pick(unary ? 4 : 3)) {
                    case 0:
                        leaf();
                        operand = false;
                        break;
                    case 1:
                        open();
                        unary = true;
                        break;
                    case 2:
                        function();
                        unary = true;
                        break;
                    case 3:
                        op(pick(2), 3);
                        unary = false;
                        break;
                }
                continue;
            }
            const bool after_bracket = t_.back().kind == kRight;
            const size_t before = t_.size() - (after_bracket ? 0 : 1);
            switch (pick(after_bracket ? 7 : 5)) {
                case 0:
                    op(2 + pick(4), 0);
                    operand = true, unary = false;
                    break;
                case 1:
                    if (depth_ > 0) close();
                    break;
                case 2:
                    if (before >= 2) add(kComma, 255, 0, ","), operand = true, unary = true;
                    break;
                case 3:
                    relation();
                    operand = true, unary = true;
                    break;
                case 4:
                    if (depth_ > 0) close();
                    break;
                case 5:
                    leaf();
                    break;
                case 6:
                    function();
                    operand = true, unary = true;
                    break;
            }
        }
        if (operand) leaf();
        while (depth_ > 0) close();
        return t_;
    }

  private:
    size_t pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

    void add(uint8_t kind, uint8_t index, unsigned level, std::string text) {
        t_.push_back({kind, index, level, std::move(text)});
    }
    void leaf() {
        static const char *const names[] = {"a", "b", "x", "y2", "Тк"};
        static const char *const numbers[] = {"1", "2.5", "30"};
        if (pick(3) == 0)
            add(kNumber, 255, 0, numbers[pick(3)]);
        else
            add(kIdentifier, 255, 0, names[pick(5)]);
    }
    void open() {
        add(kLeft, 255, 0, "(");
        ++depth_;
    }
    void close() {
        add(kRight, 255, 0, ")");
        --depth_;
    }
    void function() {
        // Mostly the two-argument ones, whose commas are the hard part.
        const uint8_t index = pick(2) ? static_cast<uint8_t>(32 + pick(3)) : static_cast<uint8_t>(pick(32));
        add(kFunction, index, 4 * depth_ + 4, std::string(solver::kFunctions[index].name));
        open();
    }
    void op(size_t row, unsigned offset) {
        static const unsigned offsets[] = {3, 3, 1, 1, 2, 2};
        (void)offset;
        add(kOperator, static_cast<uint8_t>(row), 4 * depth_ + offsets[row],
            std::string(1, solver::kOperators[row].character));
    }
    void relation() {
        const uint8_t index = static_cast<uint8_t>(pick(6));
        add(kRelation, index, 0, std::string(solver::kRelations[index].text));
    }

    std::mt19937 rng_;
    std::vector<Tok> t_;
    unsigned depth_ = 0;
};

TEST_F(ExpressionTest, FastBuilderAgreesWithTheLiteralOne) {
    TextGenerator generate(20261211);
    int faults = 0;
    for (int round = 0; round < 4000; ++round) {
        const int steps = round < 3900 ? 1 + round % 40 : 400;
        const std::vector<Tok> tokens = generate.tokens(steps);
        std::string text;
        for (const Tok &t : tokens) text += t.text;
        LiteralBuilder reference(tokens);
        const std::string expected = reference.build(0, tokens.size());
        SCOPED_TRACE(text);
        const auto tree = parse(text);
        ASSERT_EQ(SolverLastResult(), reference.code);
        if (reference.code) {
            ++faults;
            continue;
        }
        ASSERT_EQ(dump(tree.get()), expected.empty() ? "_" : expected);
    }
    // Both outcomes were exercised.
    EXPECT_GT(faults, 100);
    EXPECT_LT(faults, 3000);
}

}  // namespace
