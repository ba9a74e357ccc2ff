#include <gtest/gtest.h>

#include <string>

#include "composition_helpers.h"

namespace tessarin_test {
namespace {

std::string name_of(const std::string &mark) {
    CompositionPtr c = corrected(mark);
    return read_text([&c](char **out) { FormCompositionName(c.get(), out); });
}

TEST(UnitNames, JoinUnitsWithTheirPowersPlacesAndCases) {
    const struct {
        const char *mark;
        const char *name;
    } cases[] = {
        {"м/с", "Метр в секунду"},
        {"м/мин", "Метр в минуту"},
        {"м/с^2", "Метр на секунду в квадрате"},
        {"м^2", "Квадратный метр"},
        {"м^3", "Кубический метр"},
        {"км^2", "Квадратный километр"},
        {"Н*м", "Ньютон-метр"},
        {"кг*м^2", "Килограмм-квадратный метр"},
        {"Вт/(м*К)", "Ватт на метр-кельвин"},
        {"м^-1", "Метр в минус первой степени"},
        {"с^21", "Секунда в двадцать первой степени"},
        {"с^-21", "Секунда в минус двадцать первой степени"},
        {"мин^2", "Минуту в квадрате"},
        {"мин^3*м", "Минуту в кубе-метр"},
        {"вер^2", "Квадратная верста"},
        {"м/вер^2", "Метр на квадратную версту"},
        {"вер^3/с", "Кубическая верста в секунду"},
        {"м/(вер^2*с)", "Метр на квадратная верста-секунду"},
        {"м/(с*мин)", "Метр на секунда-минуту"},
        {"кг/с", "Килограмм в секунду"},
        {"кг/км", "Килограмм на километр"},
        {"с/м", "Секунда на метр"},
        {"м/с^-1", "Метр на секунду в минус первой степени"},
        {"м/Н^2", "Метр на ньютон в квадрате"},
        {"с^4", "Секунда в четвёртой степени"},
        {"м^100", "Метр в сотой степени"},
        {"м^112", "Метр в сто двенадцатой степени"},
        {"м^-128", "Метр в минус сто двадцать восьмой степени"},
        {"Н м*с", "-секунда"},  // a unit the information does not describe has no name
        {"/с", " в секунду"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mark);
        EXPECT_EQ(name_of(c.mark), c.name);
    }
}

TEST(UnitNames, PutTheChosenPrefixBeforeTheUnit) {
    CompositionPtr c = corrected("кг*м/с^2");
    SetCompositionPrefix(c.get(), "г", 0);
    SetCompositionPrefix(c.get(), "м", 10);
    SetCompositionPrefix(c.get(), "с", 11);
    EXPECT_EQ(read_text([&c](char **out) { FormCompositionName(c.get(), out); }),
              "Грамм-сантиметр на миллисекунду в квадрате");
}

// Every power from -128 to 127 of a length unit, a time unit and a feminine
// length unit, alone and below the bar.  The expected words are built from
// masculine nominative ordinals and the grammar of the genitive feminine,
// independently of the engine's own word tables.
struct UnitForms {
    const char *mark;
    std::string nominative, accusative;
    bool length, feminine;
};

std::string genitive_feminine(std::string ordinal) {
    // первый -> первой, второй -> второй, третий -> третьей
    if (ordinal == "третий") return "третьей";
    return ordinal.substr(0, ordinal.size() - 2) + "ой";
}

std::string ordinal_phrase(int n) {
    static const char *units[] = {"",      "первый", "второй",  "третий",  "четвёртый",
                                  "пятый", "шестой", "седьмой", "восьмой", "девятый"};
    static const char *teens[] = {"десятый",       "одиннадцатый", "двенадцатый",  "тринадцатый",
                                  "четырнадцатый", "пятнадцатый",  "шестнадцатый", "семнадцатый",
                                  "восемнадцатый", "девятнадцатый"};
    static const char *tens_ordinal[] = {"",
                                         "",
                                         "двадцатый",
                                         "тридцатый",
                                         "сороковой",
                                         "пятидесятый",
                                         "шестидесятый",
                                         "семидесятый",
                                         "восьмидесятый",
                                         "девяностый"};
    static const char *tens_cardinal[] = {"",          "",           "двадцать",  "тридцать",    "сорок",
                                          "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто"};
    if (n == 100) return genitive_feminine("сотый");
    std::string words = n > 100 ? "сто " : "";
    const int rest = n % 100;
    if (rest >= 10 && rest < 20) return words + genitive_feminine(teens[rest - 10]);
    if (rest % 10 == 0) return words + genitive_feminine(tens_ordinal[rest / 10]);
    if (rest > 20) words += std::string(tens_cardinal[rest / 10]) + " ";
    return words + genitive_feminine(units[rest % 10]);
}

std::string expected_group(const UnitForms &unit, int power, bool last_below) {
    const std::string &form = last_below ? unit.accusative : unit.nominative;
    if (power == 1) return form;
    if (power == 2 || power == 3) {
        if (!unit.length) return unit.accusative + (power == 2 ? " в квадрате" : " в кубе");
        const std::string stem = power == 2 ? "квадратн" : "кубическ";
        if (!unit.feminine) return stem + (power == 2 ? "ый " : "ий ") + form;
        return stem + (last_below ? "ую " : "ая ") + form;
    }
    return form + " в " + (power < 0 ? "минус " : "") + ordinal_phrase(power < 0 ? -power : power) +
           " степени";
}

std::string capitalised(std::string text) {
    text[0] = static_cast<char>(static_cast<unsigned char>(text[0]) - 0x20);  // а..я to А..Я
    return text;
}

TEST(UnitNames, NameEveryPowerOfLengthTimeAndFeminineUnitsAboveAndBelowTheBar) {
    const UnitForms units[] = {
        {"м", "метр", "метр", true, false},
        {"с", "секунда", "секунду", false, true},
        {"вер", "верста", "версту", true, true},
    };
    for (const UnitForms &unit : units) {
        for (int power = -128; power <= 127; ++power) {
            if (power == 0) continue;
            const std::string p = std::to_string(power);
            SCOPED_TRACE(std::string(unit.mark) + "^" + p);
            EXPECT_EQ(name_of(std::string(unit.mark) + "^" + p),
                      capitalised(expected_group(unit, power, false)));
            const bool per_time = power == 1 && std::string(unit.mark) == "с";
            EXPECT_EQ(
                name_of("Н/" + std::string(unit.mark) + "^" + p),
                std::string("Ньютон") + (per_time ? " в " : " на ") + expected_group(unit, power, true));
        }
    }
}

TEST(UnitNames, AVeryLongNameIsBoundedByTheBuffer) {
    std::string mark = "м";
    std::string catalogue = "м=" + std::string(75, 'z') + "=1=1";
    for (int i = 0; i < 2000; ++i) mark += "*м^-127";
    CompositionPtr c = make_composition(mark);
    CorrectComposition(c.get(), catalogue.c_str());
    std::vector<char> buffer(SOLVER_TEXT_BUFFER + 16, '\x7F');
    char *p = buffer.data();
    FormCompositionName(c.get(), &p);
    EXPECT_EQ(std::string(buffer.data()).size(), size_t{SOLVER_TEXT_BUFFER - 1});
    EXPECT_EQ(buffer[SOLVER_TEXT_BUFFER], '\x7F');
}

}  // namespace
}  // namespace tessarin_test
