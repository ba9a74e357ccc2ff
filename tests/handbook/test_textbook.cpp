// The handbook's formulas and complexes, read from handbook/*.json and
// solved through the Solver's interface, must give the answers of the
// textbooks. A formula is looked up in the handbook by its text, so a case
// fails when the handbook's formula is changed or lost.

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "include/solver.h"
#include "solver/solving_helpers.h"

namespace {

std::string to_cp1251(const std::string &utf8) {
    iconv_t cd = iconv_open("CP1251", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    std::string in = utf8, out(utf8.size() + 1, '\0');
    char *src = in.data(), *dst = out.data();
    size_t left = in.size(), room = out.size();
    size_t done = iconv(cd, &src, &left, &dst, &room);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1)) return {};
    out.resize(out.size() - room);
    return out;
}

// The parts of the handbook the cases need, every text in Windows-1251.
struct Handbook {
    std::map<std::string, std::string> constants;               // mark -> value text
    std::set<std::string> formulas;                             // contents of group formulas
    std::map<std::string, std::vector<std::string>> complexes;  // name -> contents
};

Handbook load_handbook() {
    Handbook book;
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator(TESSARIN_HANDBOOK_DIR))
        if (entry.path().extension() == ".json") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto &path : files) {
        std::ifstream in(path);
        const auto doc = nlohmann::json::parse(in);
        for (const auto &c : doc.value("constants", nlohmann::json::array()))
            book.constants[to_cp1251(c["mark"])] = c["value"];
        for (const auto &f : doc.value("formulas", nlohmann::json::array())) {
            const std::string content = to_cp1251(f["content"]);
            if (f["complex"].is_null())
                book.formulas.insert(content);
            else
                book.complexes[to_cp1251(f["complex"]["name"])].push_back(content);
        }
    }
    return book;
}

const Handbook &handbook() {
    static const Handbook book = load_handbook();
    return book;
}

std::vector<std::string> split(const std::string &list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (!list.empty()) {
        const size_t end = list.find(';', start);
        names.push_back(list.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return names;
}

std::string join(const std::vector<std::string> &names) {
    std::string text;
    for (const auto &n : names) text += (text.empty() ? "" : ";") + n;
    return text;
}

struct Text {
    std::vector<char> buffer = std::vector<char>(SOLVER_TEXT_BUFFER, '\0');
    char *pointer = buffer.data();
    char **out() { return &pointer; }
    std::string str() const { return buffer.data(); }
};

using solving::OwnedCollection;
using solving::OwnedExpression;

using Values = std::vector<std::pair<std::string, std::string>>;

long double value_of(const std::string &text) {
    long double value = 0;
    StrToVal(text.c_str(), &value);
    return value;
}

// A constant's value as the program shows and substitutes it: read into the
// extended real and written back by the Solver's number writer, since a
// number text inside a formula keeps only its first 24 characters.
std::string value_text(const std::string &stored) {
    Text text;
    ValToStr(value_of(stored), text.out());
    return text.str();
}

// The given values plus the handbook's value of every constant the
// variables name, as the program fills them in.
Values with_constants(const Values &given, const std::string &variables) {
    Values all = given;
    for (const auto &name : split(variables)) {
        const auto constant = handbook().constants.find(name);
        if (constant != handbook().constants.end()) all.emplace_back(name, value_text(constant->second));
    }
    return all;
}

struct FormulaCase {
    const char *content;
    const char *wanted;
    Values given;
    double expected;
};

class Formula : public testing::TestWithParam<FormulaCase> {};

TEST_P(Formula, GivesTheTextbookAnswer) {
    const FormulaCase &c = GetParam();
    ASSERT_TRUE(handbook().formulas.count(c.content)) << "not in the handbook: " << c.content;

    OwnedExpression formula(CreateExpression(c.content));
    ASSERT_EQ(SolverLastResult(), 0);
    ASSERT_NE(formula, nullptr);
    Text vars, results, names;
    ExpressionVarsAndResult(formula.get(), vars.out(), results.out());
    ExpressionVariables(formula.get(), names.out());

    OwnedExpression solved;
    const auto result_names = split(results.str());
    if (std::find(result_names.begin(), result_names.end(), c.wanted) == result_names.end()) {
        solved.reset(TransposeExpression(formula.get(), c.wanted));
        ASSERT_EQ(SolverLastResult(), 0) << "cannot solve " << c.content << " for " << c.wanted;
    }
    SolverNode *target = solved ? solved.get() : formula.get();
    for (const auto &[name, value] : with_constants(c.given, names.str())) {
        SetExpressionVariable(target, name.c_str(), value.c_str());
        ASSERT_EQ(SolverLastResult(), 0) << name << " := " << value;
    }
    OwnedExpression calculated(CalcExpression(target));
    ASSERT_EQ(SolverLastResult(), 0);
    Text answer;
    ExpressionVarValue(calculated.get(), c.wanted, answer.out());
    EXPECT_NEAR(static_cast<double>(value_of(answer.str())), c.expected, std::fabs(c.expected) * 1e-9)
        << c.content << " for " << c.wanted << " gives " << answer.str();
}

INSTANTIATE_TEST_SUITE_P(
    Handbook, Formula,
    testing::Values(
        FormulaCase{"T=2*pi*sqrt(l/g)", "T", {{"l", "1"}}, 2.0064092925890407},
        FormulaCase{"T=2*pi*sqrt(l/g)", "l", {{"T", "2"}}, 0.9936213855661318},
        FormulaCase{"s=v0*t+a*sqr(t)/2", "s", {{"v0", "10"}, {"t", "5"}, {"a", "2"}}, 75},
        FormulaCase{"h=g*sqr(t)/2", "h", {{"t", "3"}}, 44.129925},
        FormulaCase{"h=sqr(v)/(2*g)", "v", {{"h", "20"}}, 19.80570624845274},
        FormulaCase{"F=G*m1*m2/sqr(r)",
                    "F",
                    {{"m1", "5.972e24"}, {"m2", "7.342e22"}, {"r", "3.844e8"}},
                    1.9804922390990566e20},
        FormulaCase{"v1=sqrt(G*M_пл/r)", "v1", {{"M_пл", "5.972e24"}, {"r", "6.371e6"}}, 7909.680821529872},
        FormulaCase{"v=omega*r/rad", "omega", {{"v", "5"}, {"r", "0.5"}}, 10},
        FormulaCase{"p=rho*g*h", "p", {{"rho", "1000"}, {"h", "10"}}, 98066.5},
        FormulaCase{"Re=v*d/nu_k", "Re", {{"v", "1"}, {"d", "0.05"}, {"nu_k", "1e-6"}}, 50000},
        FormulaCase{
            "p*V=nu_m*R_u*T", "V", {{"p", "101325"}, {"nu_m", "1"}, {"T", "273.15"}}, 0.022413969545014137},
        FormulaCase{"p=p0*exp(-M*g*h/(R_u*T))",
                    "p",
                    {{"p0", "101325"}, {"M", "0.029"}, {"h", "1000"}, {"T", "288.15"}},
                    89983.74410049066},
        FormulaCase{"Q=c*m*dT", "Q", {{"c", "4186"}, {"m", "2"}, {"dT", "50"}}, 418600},
        FormulaCase{"eta=(T1-T2)/T1", "eta", {{"T1", "500"}, {"T2", "300"}}, 0.4},
        FormulaCase{"Phi=eps_r*sigma_SB*S*pow(T,4)",
                    "Phi",
                    {{"eps_r", "1"}, {"S", "1"}, {"T", "300"}},
                    459.30032795393873},
        FormulaCase{"lambda_max=b_W/T", "lambda_max", {{"T", "5778"}}, 5.015181645898235e-07},
        FormulaCase{"F=q1*q2/(4*pi*eps0*sqr(r))",
                    "F",
                    {{"q1", "1e-6"}, {"q2", "1e-6"}, {"r", "1"}},
                    0.008987551792261171},
        FormulaCase{"R=rho_e*l/S", "R", {{"rho_e", "1.72e-8"}, {"l", "100"}, {"S", "1e-6"}}, 1.72},
        FormulaCase{"X_C=1/(2*pi)/(f*C)", "X_C", {{"f", "50"}, {"C", "1e-4"}}, 31.830988618379067},
        FormulaCase{"Z=sqrt(sqr(R)+sqr(X_L-X_C))", "Z", {{"R", "3"}, {"X_L", "8"}, {"X_C", "4"}}, 5},
        FormulaCase{"n1*sin(alpha)=n2*sin(beta)",
                    "beta",
                    {{"n1", "1"}, {"alpha", "0.5235987755982988731"}, {"n2", "1.5"}},
                    0.3398369094541219},
        FormulaCase{"1/F_l=1/d_l+1/f_l", "f_l", {{"F_l", "0.05"}, {"d_l", "0.1"}}, 0.1},
        FormulaCase{"E_f=h_P*c0/lambda", "E_f", {{"lambda", "500e-9"}}, 3.972891714297857e-19},
        FormulaCase{"N=N0*pow2(-t/T_half)", "T_half", {{"N", "250"}, {"N0", "1000"}, {"t", "2"}}, 1},
        FormulaCase{"M_b=q_l*sqr(l)/8", "M_b", {{"q_l", "10000"}, {"l", "6"}}, 45000},
        FormulaCase{"f_b=5/384*q_l*pow(l,4)/(E_y*I_x)",
                    "f_b",
                    {{"q_l", "10000"}, {"l", "6"}, {"E_y", "2.1e11"}, {"I_x", "8e-5"}},
                    0.010044642857142858},
        FormulaCase{"I_x=b*pow(h,3)/12", "I_x", {{"b", "0.1"}, {"h", "0.2"}}, 6.666666666666667e-05},
        FormulaCase{"c_s=sqrt(sqr(a_s)+sqr(b_s))", "a_s", {{"c_s", "5"}, {"b_s", "4"}}, 3},
        FormulaCase{"V=4/3*pi*pow(r,3)", "V", {{"r", "1"}}, 4.1887902047863905}));

struct ComplexCase {
    const char *name;
    Values given;
    std::vector<std::pair<std::string, double>> wanted;
};

class Complex : public testing::TestWithParam<ComplexCase> {};

TEST_P(Complex, SolvesForItsNaturalUnknowns) {
    const ComplexCase &c = GetParam();
    const auto found = handbook().complexes.find(c.name);
    ASSERT_NE(found, handbook().complexes.end()) << "no complex " << c.name;

    OwnedCollection system(CreateCollection());
    for (const auto &content : found->second) {
        Expression e = CreateExpression(content.c_str());
        ASSERT_EQ(SolverLastResult(), 0) << content;
        AddToCollection(system.get(), e);
    }
    Text names;
    CollectionVariables(system.get(), names.out());
    const Values given = with_constants(c.given, names.str());
    std::vector<std::string> given_names, wanted_names;
    for (const auto &g : given) given_names.push_back(g.first);
    for (const auto &w : c.wanted) wanted_names.push_back(w.first);

    Text derivation;
    OwnedCollection solved(TransposeCollection(system.get(), join(given_names).c_str(),
                                               join(wanted_names).c_str(), derivation.out()));
    ASSERT_EQ(SolverLastResult(), 0) << c.name << ": " << derivation.str();
    for (const auto &[name, value] : given) {
        SetCollectionVariable(solved.get(), name.c_str(), value.c_str());
        ASSERT_EQ(SolverLastResult(), 0) << name;
    }
    OwnedCollection calculated(CalcCollection(solved.get()));
    ASSERT_EQ(SolverLastResult(), 0);
    for (const auto &[name, expected] : c.wanted) {
        Text answer;
        CollectionVarValue(calculated.get(), name.c_str(), answer.out());
        EXPECT_NEAR(static_cast<double>(value_of(answer.str())), expected, std::fabs(expected) * 1e-9)
            << c.name << ": " << name << " = " << answer.str() << "; " << derivation.str();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Handbook, Complex,
    testing::Values(
        ComplexCase{
            "Равноускоренное движение", {{"v0", "2"}, {"a", "3"}, {"t", "4"}}, {{"v", 14}, {"s", 32}}},
        ComplexCase{
            "Равноускоренное движение", {{"v0", "2"}, {"v", "14"}, {"t", "4"}}, {{"a", 3}, {"s", 32}}},
        ComplexCase{"Закон Ома и мощность",
                    {{"U", "12"}, {"R", "4"}, {"t", "60"}},
                    {{"I", 3}, {"P", 36}, {"Q", 2160}}},
        ComplexCase{"Закон Ома и мощность", {{"U", "12"}, {"P", "36"}, {"t", "60"}}, {{"I", 3}, {"R", 4}}},
        ComplexCase{"Идеальный газ",
                    {{"p", "101325"}, {"V", "1"}, {"T", "273.15"}, {"M", "0.029"}},
                    {{"nu_m", 44.61503340547032}, {"m", 1.2938359687586394}, {"rho", 1.2938359687586394}}},
        ComplexCase{"Балка на двух опорах с равномерной нагрузкой",
                    {{"q_l", "10000"}, {"l", "6"}, {"W_x", "5e-4"}, {"E_y", "2.1e11"}, {"I_x", "8e-5"}},
                    {{"M_b", 45000}, {"sigma", 9e7}, {"f_b", 0.010044642857142858}, {"R_A", 30000}}},
        ComplexCase{
            "Математический маятник", {{"l", "1"}}, {{"T", 2.0064092925890407}, {"nu", 0.4984027953287711}}},
        ComplexCase{"Круг", {{"S", "1"}}, {{"r", 0.5641895835477563}, {"L_c", 3.5449077018110318}}}));

}  // namespace
