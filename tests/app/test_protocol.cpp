#include <gtest/gtest.h>

#include "main/protocol.h"
#include "solver.h"

namespace tessarin {
namespace {

class ProtocolRules : public ::testing::Test {
protected:
    void SetUp() override { SolverInit(); }
    void TearDown() override { SolverDone(); }
};

TEST_F(ProtocolRules, SourceValueCarriesTheUnitsCoefficient) {
    struct Case {
        QString value;
        long double coefficient;
        QString expected;
    } cases[] = {
        {"5", 1000, "1000*5"},
        {"5", 1, "5"},
        {"5", 0.001L, "0.001*5"},
        {"", 1000, "1000*x"},  // no value: the variable stays a symbol
        {"", 1, "x"},
        {"2+3", 2, "2*2+3"},  // a value is an expression the engine reads as it stands
    };
    for (const auto &c : cases)
        EXPECT_EQ(sourceValueText({"x", "", c.value, ""}, c.coefficient), c.expected) << c.value.toStdString();
}

TEST_F(ProtocolRules, ResultComesBackIntoTheRowsUnit) {
    struct Case {
        QString result;
        bool tied;
        long double coefficient;
        QString expected;
    } cases[] = {
        {"5000", true, 1000, "5"},
        {"5000", false, 1, "5000"},
        {"2*a", true, 1000, "0.001*(2*a)"},
        {"2*a", true, 1, "2*a"},
        {"2*a", false, 1, "2*a"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(resultValueText(c.result, c.tied, c.coefficient), c.expected) << c.result.toStdString();
}

TEST_F(ProtocolRules, NumberReadingIsNotFooledByAnEarlierFailure) {
    long double ignored;
    StrToVal("12a", &ignored);  // leaves code 4 in the register
    ASSERT_EQ(SolverLastResult(), 4);
    EXPECT_EQ(TextToValue("2.5"), 2.5L);
    EXPECT_EQ(TextToValue("abc"), std::nullopt);
    EXPECT_EQ(TextToValue("Ё"), std::nullopt);  // not even a Windows-1251 number
}

TEST_F(ProtocolRules, ChangedUnitConvertsTheShownValue) {
    EXPECT_EQ(convertedValueText({"x", "", "5", ""}, 1, 1000), "0.005");
    EXPECT_EQ(convertedValueText({"x", "", "", ""}, 1, 1000), "0.001*(x)");
    EXPECT_EQ(convertedValueText({"x", "", "a+b", ""}, 1, 1), "1*(a+b)");  // the factor stays, even at 1
}

TEST_F(ProtocolRules, UnitsTabConvertsFromTheCurrentRow) {
    std::vector<MeasureRowTexts> rows{{"0", "0.001"}, {"1", "1000"}, {"0", "1"}};
    convertMeasureValues(rows, 1);
    EXPECT_EQ(rows[0].value, "1000000");
    EXPECT_EQ(rows[1].value, "1");  // what was typed stays
    EXPECT_EQ(rows[2].value, "1000");

    for (QString typed : {"0", "-1", "abc"}) {
        std::vector<MeasureRowTexts> same{{"7", "1"}, {typed, "1000"}};
        convertMeasureValues(same, 1);
        EXPECT_EQ(same[0].value, "7") << typed.toStdString();
    }
}

TEST(ProtocolLines, LineFormsKeepTheirBlanks) {
    const VariableRowTexts full{"v", "Скорость", "5", "км/ч"};
    const VariableRowTexts bare{"v", "", "", ""};
    EXPECT_EQ(sourceLine(full), "Скорость  v = 5  км/ч");
    EXPECT_EQ(sourceLine(bare), "v");
    EXPECT_EQ(unknownLine(full), "Скорость  v в км/ч");
    EXPECT_EQ(unknownLine(bare), "v");
    EXPECT_EQ(answerLine(full), "Скорость  v = 5 км/ч");
    EXPECT_EQ(answerLine({"v", "", "5", ""}), "v = 5");
    EXPECT_EQ(formulaLine("Второй закон Ньютона", "F=m*a"), "Второй закон Ньютона  F=m*a");
}

TEST(ProtocolLines, WindowShowsTheSectionsInOrder) {
    Protocol p;
    appendLine(p.InitialData, "m = 2");
    appendLine(p.InitialData, "a = 3");
    p.Unknowns = "F";
    p.Formulas = "Сила  F=m*a";
    p.Substitution = "F=2*3";
    p.Answer = "F = 6";
    EXPECT_EQ(p.InitialData, "m = 2\r\na = 3");
    const QStringList expected{"Протокол решения", "", "Исходные данные:", "m = 2", "a = 3", "", "Найти:", "F",
                               "", "Расчётные формулы:", "Сила  F=m*a", "", "Подстановка значений:", "F=2*3",
                               "", "Ответ:", "F = 6"};
    EXPECT_EQ(protocolLines(p), expected);

    p.Derivation = "m=F/a";
    const QStringList withDerivation = protocolLines(p);
    const int at = withDerivation.indexOf("Вывод формул:");
    ASSERT_GT(at, 0);
    EXPECT_EQ(withDerivation[at - 1], "");
    EXPECT_EQ(withDerivation[at + 1], "m=F/a");
    EXPECT_EQ(withDerivation[at + 2], "");
    EXPECT_EQ(withDerivation[at + 3], "Подстановка значений:");
}

}  // namespace
}  // namespace tessarin
