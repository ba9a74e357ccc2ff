#include "unitnames.h"

#include <array>
#include <string_view>

#include "numbers.h"

namespace solver {

namespace {

// Ordinal words in the genitive feminine ("в ... степени"), 1 to 19.
constexpr std::array<std::string_view, 20> kOrdinals{
    "",
    "первой",
    "второй",
    "третьей",
    "четвёртой",
    "пятой",
    "шестой",
    "седьмой",
    "восьмой",
    "девятой",
    "десятой",
    "одиннадцатой",
    "двенадцатой",
    "тринадцатой",
    "четырнадцатой",
    "пятнадцатой",
    "шестнадцатой",
    "семнадцатой",
    "восемнадцатой",
    "девятнадцатой",
};

// Tens 2 to 9: the cardinal stands before a units word, the ordinal alone.
constexpr std::array<std::string_view, 10> kCardinalTens{
    "",          "",           "двадцать",  "тридцать",    "сорок",
    "пятьдесят", "шестьдесят", "семьдесят", "восемьдесят", "девяносто",
};
constexpr std::array<std::string_view, 10> kOrdinalTens{
    "",
    "",
    "двадцатой",
    "тридцатой",
    "сороковой",
    "пятидесятой",
    "шестидесятой",
    "семидесятой",
    "восьмидесятой",
    "девяностой",
};

constexpr char kSmallA = '\xE0';  // а
constexpr char kSmallU = '\xF3';  // у

bool ends_in_a(const std::string &word) {
    return !word.empty() && word.back() == kSmallA;
}

void turn_a_into_u(std::string &word) {
    if (ends_in_a(word)) word.back() = kSmallU;
}

// "в [минус] ... степени" for any power; the magnitude is taken wide so
// that -128 reads as сто двадцать восьмой.
std::string power_phrase(int power) {
    std::string phrase = "в ";
    if (power < 0) phrase += "минус ";
    const int n = power < 0 ? -power : power;
    const int hundreds = n / 100, tens = n / 10 % 10, units = n % 10;
    auto word = [&phrase](std::string_view w) {
        phrase += w;
        phrase += ' ';
    };
    if (hundreds == 1 && tens == 0 && units == 0) {
        word("сотой");
    } else {
        if (hundreds == 1) word("сто");
        if (tens == 1) {
            word(kOrdinals[10 + units]);
        } else if (tens >= 2 && units == 0) {
            word(kOrdinalTens[tens]);
        } else {
            if (tens >= 2) word(kCardinalTens[tens]);
            if (units != 0) word(kOrdinals[units]);
        }
    }
    return phrase + "степени";
}

// квадратный метр, кубическую милю: an adjective before a length unit.
std::string length_power(std::string word, int power, bool accusative) {
    std::string adjective = power == 2 ? "квадратн" : "кубическ";
    if (ends_in_a(word)) {
        adjective += accusative ? "ую" : "ая";
        if (accusative) turn_a_into_u(word);
    } else {
        adjective += power == 2 ? "ый" : "ий";
    }
    return adjective + " " + word;
}

std::string word_group(const CompositionItem &item, bool last) {
    std::string word = lower_cyrillic(std::string(kPrefixes[item.prefix].name) + item.name);
    const bool accusative = !item.numerator && last;
    const int power = item.power;
    if (power == 1) {
        if (accusative) turn_a_into_u(word);
        return word;
    }
    if (power == 2 || power == 3) {
        if (item.category == kLengthUnit) return length_power(word, power, accusative);
        // "секунду в квадрате": the phrase governs the accusative wherever the unit stands.
        turn_a_into_u(word);
        return word + " в " + (power == 2 ? "квадрате" : "кубе");
    }
    if (accusative) turn_a_into_u(word);
    return word + " " + power_phrase(power);
}

}  // namespace

std::string composition_name(const std::vector<CompositionItem> &items) {
    std::string upper, lower;
    size_t below = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        const CompositionItem &item = items[i];
        (item.numerator ? upper : lower) += "-" + word_group(item, i + 1 == items.size());
        below += !item.numerator;
    }
    if (!upper.empty()) upper.erase(0, 1);
    if (!lower.empty()) lower.erase(0, 1);
    std::string name = upper;
    if (!lower.empty()) {
        const CompositionItem &last = items.back();
        const bool per_time = below == 1 && last.category == kTimeUnit && last.power == 1;
        name += (per_time ? " в " : " на ") + lower;
    }
    if (!name.empty() && static_cast<unsigned char>(name[0]) >= 0xE0)
        name[0] = static_cast<char>(name[0] - 0x20);
    return name;
}

}  // namespace solver
