#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "composition_helpers.h"

namespace tessarin_test {
namespace {

std::string unit_list(Composition c) {
    return read_text([c](char **out) { CompositionUnitList(c, out); });
}

std::string formed_mark(Composition c) {
    return read_text([c](char **out) { FormCompositionMark(c, out); });
}

Dimension dimension_of(Composition c) {
    Dimension d;
    std::fill(std::begin(d.Exponent), std::end(d.Exponent), int8_t{99});
    Dimension *p = &d;
    DimensingComposition(c, &p);
    return d;
}

std::vector<int> exponents(const Dimension &d) {
    return {std::begin(d.Exponent), std::end(d.Exponent)};
}

struct ParseCase {
    const char *mark;
    uint16_t code;
    const char *units;   // as written, joined by ";"
    const char *formed;  // formed again from the parsed powers and places
};

TEST(CompositionParse, ReadsUnitsPowersAndPlacesOrStopsAtTheFirstFault) {
    const ParseCase cases[] = {
        {"кг*м^2/с^2", 0, "кг;м;с", "кг*м^2/с^2"},
        {"(кг*м)/(с^2)", 0, "кг;м;с", "кг*м/с^2"},
        {"кг/м*с^2", 0, "кг;м;с", "кг/(м*с^2)"},
        {"км", 0, "км", "км"},
        {"м^1.5", 0, "м", "м"},
        {"м^2,7", 0, "м", "м^2"},
        {"м^-1", 0, "м", "м^-1"},
        {"м^2.999999995", 0, "м", "м^3"},
        {"м^-128*с^127", 0, "м;с", "м^-128*с^127"},
        {"Н м*с", 0, "Н м;с", "Н м*с"},  // spaces belong to the marks
        {"/с", 0, ";с", "/с"},
        {"", 0, "", ""},
        {"м/с/с", 43, "", ""},
        {"м^0", 42, "м", "м"},
        {"м^", 42, "м", "м"},
        {"м^0.4", 42, "м", "м"},
        {"кг*м^x*с", 4, "кг;м", "кг*м"},
        {"м/с^0*К", 42, "м;с", "м/с"},
        // Powers the signed 8-bit field cannot hold are refused, not wrapped.
        {"м^128", 4, "м", "м"},
        {"м^256", 4, "м", "м"},
        {"м^-129", 4, "м", "м"},
        {"м^1e4000", 4, "м", "м"},
    };
    for (const ParseCase &c : cases) {
        SCOPED_TRACE(c.mark);
        StrToVal("x", nullptr);  // a stale code that creation must clear
        CompositionPtr composition = make_composition(c.mark);
        EXPECT_EQ(SolverLastResult(), c.code);
        EXPECT_EQ(unit_list(composition.get()), c.units);
        EXPECT_EQ(formed_mark(composition.get()), c.formed);
    }
}

TEST(CompositionParse, AVeryLongMarkKeepsEachUnitToTwentyFiveCharactersAndItsListToTheBuffer) {
    const std::string unit(40, 'x');
    std::string mark = unit;
    for (int i = 0; i < 3000; ++i) mark += "*" + unit;
    CompositionPtr composition = make_composition(mark);
    ASSERT_EQ(SolverLastResult(), 0);
    const std::string list = unit_list(composition.get());
    EXPECT_EQ(list.substr(0, 26), std::string(25, 'x') + ";");
    EXPECT_EQ(list.size(), size_t{SOLVER_TEXT_BUFFER - 1});
    EXPECT_EQ(formed_mark(composition.get()).size(), size_t{SOLVER_TEXT_BUFFER - 1});
}

struct CorrectionCase {
    const char *mark;
    const char *units;  // after correction: prefixes recognised by name are gone
    const char *formed;
    long double multiplier;
    std::vector<int> dimension;
};

TEST(CompositionCorrection, RecognisesPrefixesAndYieldsMarkMultiplierAndDimension) {
    const CorrectionCase cases[] = {
        {"км", "м", "км", 1000, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"км^2", "м", "км^2", 1e6L, {2, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"дм", "м", "дм", 0.1L, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"дам", "м", "дам", 10, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"кг*м^2/с^2", "г;м;с", "кг*м^2/с^2", 1, {2, 1, -2, 0, 0, 0, 0, 0, 0}},
        {"Вт/(м*К)", "Вт;м;К", "Вт/(м*К)", 1, {1, 1, -3, 0, -1, 0, 0, 0, 0}},
        {"м/мин^2", "м;мин", "м/мин^2", 1.0L / 3600, {1, 0, -2, 0, 0, 0, 0, 0, 0}},
        {"км/мин", "м;мин", "км/мин", 1000.0L / 60, {1, 0, -1, 0, 0, 0, 0, 0, 0}},
        {"вер^-2", "вер", "вер^-2", 1 / (1066.8L * 1066.8L), {-2, 0, 0, 0, 0, 0, 0, 0, 0}},
        // Exponents wrap modulo 256 as all dimension arithmetic does.
        {"м^-128*км", "м;м", "м^-128*км", 1000, {-127, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"м^127*м^2", "м;м", "м^127*м^2", 1, {-127, 0, 0, 0, 0, 0, 0, 0, 0}},
        // A unit the information does not describe converts as 1 and has no dimension.
        {"ярд*м", "ярд;м", "ярд*м", 1, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        // A unit worth nothing makes the composite unit worth nothing, below the bar too.
        {"ноль*м", "ноль;м", "ноль*м", 0, {1, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"м/ноль^2", "м;ноль", "м/ноль^2", 0, {1, 0, 0, 0, 0, 0, 0, 0, -2}},
    };
    for (const CorrectionCase &c : cases) {
        SCOPED_TRACE(c.mark);
        CompositionPtr composition = corrected(c.mark);
        EXPECT_EQ(unit_list(composition.get()), c.units);
        EXPECT_EQ(formed_mark(composition.get()), c.formed);
        const long double multiplier = FormCompositionMultiplier(composition.get());
        EXPECT_TRUE(std::isfinite(multiplier));
        EXPECT_NEAR(static_cast<double>(multiplier / (c.multiplier == 0 ? 1 : c.multiplier)),
                    c.multiplier == 0 ? 0.0 : 1.0, 1e-15);
        EXPECT_EQ(exponents(dimension_of(composition.get())), c.dimension);
    }
}

TEST(CompositionCorrection, TakesTheFirstMatchingEntryAndOnlyTheExponentsGiven) {
    CompositionPtr c = make_composition("ф/с");
    CorrectComposition(c.get(), "x=Икс=5=1;ф=Фут=0.3048=1;ф=Другой=7=0,1;с=Секунда=1=0,0,1,0,0,0,0,0,0,5,6");
    EXPECT_EQ(unit_list(c.get()), "ф;с");
    EXPECT_NEAR(static_cast<double>(FormCompositionMultiplier(c.get())), 0.3048, 1e-15);
    EXPECT_EQ(exponents(dimension_of(c.get())), (std::vector<int>{1, 0, -1, 0, 0, 0, 0, 0, 0}));
}

TEST(CompositionCorrection, AgainRefillsFromTheMarksWithoutTheirPrefixes) {
    CompositionPtr c = corrected("км/с");
    ASSERT_EQ(GetCompositionPrefix(c.get(), "м"), 3);
    CorrectComposition(c.get(), kUnitCatalogue);
    EXPECT_EQ(GetCompositionPrefix(c.get(), "м"), 0);
    EXPECT_EQ(formed_mark(c.get()), "м/с");
    EXPECT_EQ(FormCompositionMultiplier(c.get()), 1.0L);
}

TEST(CompositionPrefix, SetAndGetByExactMarkChangeMarkAndMultiplier) {
    CompositionPtr c = corrected("кг*м^2/с^2");
    EXPECT_EQ(GetCompositionPrefix(c.get(), "г"), 3);
    EXPECT_EQ(GetCompositionPrefix(c.get(), "кг"), 0);  // the mark no longer holds its prefix
    EXPECT_EQ(GetCompositionPrefix(c.get(), "с"), 0);
    const long double before = FormCompositionMultiplier(c.get());

    SetCompositionPrefix(c.get(), "с", 11);
    EXPECT_EQ(GetCompositionPrefix(c.get(), "с"), 11);
    EXPECT_EQ(formed_mark(c.get()), "кг*м^2/мс^2");
    EXPECT_NEAR(static_cast<double>(FormCompositionMultiplier(c.get()) / before), 1e6, 1e-8);

    SetCompositionPrefix(c.get(), "м", 12);
    EXPECT_EQ(formed_mark(c.get()), "кг*мкм^2/мс^2");
    SetCompositionPrefix(c.get(), "нет", 5);  // no such unit: nothing changes
    SetCompositionPrefix(c.get(), "м", 17);   // beyond the table: refused
    SetCompositionPrefix(c.get(), "с", 255);
    EXPECT_EQ(formed_mark(c.get()), "кг*мкм^2/мс^2");
}

TEST(CompositionPrefix, GoesBeforeTheLastWordOfAMarkOfSeveralWords) {
    CompositionPtr c = make_composition("л с/кв м^2");
    SetCompositionPrefix(c.get(), "л с", 3);
    SetCompositionPrefix(c.get(), "кв м", 10);
    EXPECT_EQ(formed_mark(c.get()), "л кс/кв см^2");
}

TEST(CompositionPrefix, EachRowMultipliesByItsPowerOfTen) {
    CompositionPtr c = make_composition("м");
    CorrectComposition(c.get(), "м=Метр=1=1");
    const char *marks[] = {"м",  "дам", "гм", "км",  "Мм", "Гм", "Тм", "Пм", "Эм",
                           "дм", "см",  "мм", "мкм", "нм", "пм", "фм", "ам"};
    const long double multipliers[] = {1,     1e1L,  1e2L,  1e3L,  1e6L,  1e9L,   1e12L,  1e15L, 1e18L,
                                       1e-1L, 1e-2L, 1e-3L, 1e-6L, 1e-9L, 1e-12L, 1e-15L, 1e-18L};
    for (uint8_t row = 0; row < 17; ++row) {
        SCOPED_TRACE(int(row));
        SetCompositionPrefix(c.get(), "м", row);
        EXPECT_EQ(formed_mark(c.get()), marks[row]);
        EXPECT_EQ(FormCompositionMultiplier(c.get()), multipliers[row]);
    }
}

TEST(CompositionPrefix, IsRecognisedByTheFirstMatchingNameInTableOrder) {
    struct Case {
        const char *name;
        uint8_t prefix;
        const char *mark;  // "abcd" less as many characters as the prefix mark has
        const char *rest;  // the name without its prefix, as a name of its own
    } cases[] = {
        {"Дециметр", 9, "bcd", "Метр"}, {"Декаметр", 1, "cd", "Метр"}, {"КИЛОМЕТР", 3, "bcd", "Метр"},
        {"Микрон", 12, "cd", "Н"},      {"Миля", 0, "abcd", "Миля"},   {"эксометр", 8, "bcd", "Метр"},
        {"Атто", 16, "bcd", ""},        {"Мега", 4, "bcd", ""},        {"Гектометр", 2, "bcd", "Метр"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CompositionPtr composition = make_composition("abcd");
        CorrectComposition(composition.get(), (std::string("abcd=") + c.name + "=1=1").c_str());
        EXPECT_EQ(unit_list(composition.get()), c.mark);
        EXPECT_EQ(GetCompositionPrefix(composition.get(), c.mark), c.prefix);
        EXPECT_NEAR(static_cast<double>(FormCompositionMultiplier(composition.get())), 1.0, 1e-15);
        SetCompositionPrefix(composition.get(), c.mark, 0);
        EXPECT_EQ(read_text([&](char **out) { FormCompositionName(composition.get(), out); }), c.rest);
    }
}

TEST(CompositionPrefix, ListNamesEveryRowInSmallLetters) {
    EXPECT_EQ(read_text([](char **out) { PrefixList(out); }),
              ";дека;гекто;кило;мега;гига;тера;пета;эксо;деци;санти;милли;микро;нано;пико;фемто;атто");
}

TEST(CompositionHandles, NullHandlesAndBuffersAreHarmless) {
    EXPECT_EQ(unit_list(nullptr), "");
    EXPECT_EQ(formed_mark(nullptr), "");
    EXPECT_EQ(GetCompositionPrefix(nullptr, "м"), 0);
    SetCompositionPrefix(nullptr, "м", 3);
    CorrectComposition(nullptr, kUnitCatalogue);
    DestroyComposition(nullptr);
    CompositionPtr c = corrected("км");
    CompositionUnitList(c.get(), nullptr);
    DimensingComposition(c.get(), nullptr);
    Dimension *none = nullptr;
    DimensingComposition(c.get(), &none);
}

}  // namespace
}  // namespace tessarin_test
