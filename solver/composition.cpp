#include "composition.h"

#include <algorithm>
#include <cmath>

#include "dimension.h"
#include "numbers.h"
#include "result.h"

namespace solver {

const std::array<Prefix, kPrefixCount> kPrefixes{{
    {"", "", 1.0L},
    {"Дека", "да", 1e1L},
    {"Гекто", "г", 1e2L},
    {"Кило", "к", 1e3L},
    {"Мега", "М", 1e6L},
    {"Гига", "Г", 1e9L},
    {"Тера", "Т", 1e12L},
    {"Пета", "П", 1e15L},
    {"Эксо", "Э", 1e18L},
    {"Деци", "д", 1e-1L},
    {"Санти", "с", 1e-2L},
    {"Милли", "м", 1e-3L},
    {"Микро", "мк", 1e-6L},
    {"Нано", "н", 1e-9L},
    {"Пико", "п", 1e-12L},
    {"Фемто", "ф", 1e-15L},
    {"Атто", "а", 1e-18L},
}};

namespace {

// Splits at every separator; an empty text is one empty item.
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + 1);
    }
}

std::string cut(std::string_view text, size_t capacity) {
    return std::string(text.substr(0, std::min(text.size(), capacity)));
}

// The power after "^": a number rounded as ext_integer does.  A power the
// signed 8-bit field cannot hold is refused like an unreadable one rather
// than wrapped into a different power.
bool read_power(std::string_view text, int8_t &power) {
    bool failed = false;
    const long double value = parse_value(text, failed);
    if (failed || !(std::fabs(value) < 1e4L)) {
        set_result(kBadNumber);
        return false;
    }
    const int64_t integer = ext_integer(value);
    if (integer == 0) {
        set_result(kZeroPower);
        return false;
    }
    if (integer < INT8_MIN || integer > INT8_MAX) {
        set_result(kBadNumber);
        return false;
    }
    power = static_cast<int8_t>(integer);
    return true;
}

// Appends the factors of one side of the bar; false after a fault.
bool read_factors(std::string_view side, bool numerator, std::vector<CompositionItem> &items) {
    for (std::string_view factor : split(side, '*')) {
        CompositionItem item;
        item.numerator = numerator;
        const size_t caret = factor.find('^');
        item.mark = cut(factor.substr(0, caret), kUnitMarkCapacity);
        const bool read = caret == std::string_view::npos || read_power(factor.substr(caret + 1), item.power);
        items.push_back(std::move(item));
        if (!read) return false;
    }
    return true;
}

uint8_t category_of(const Dimension &d) {
    bool others_zero = true;
    for (int axis = 1; axis < kAxes; ++axis) others_zero = others_zero && d.Exponent[axis] == 0;
    if (d.Exponent[kLength] != 0 && others_zero) return kLengthUnit;
    Dimension time = {};
    time.Exponent[kTime] = 1;
    return dim_equal(d, time) ? kTimeUnit : kOtherUnit;
}

struct UnitEntry {
    std::string_view mark, name, coefficient, dimension;
};

UnitEntry read_entry(std::string_view text) {
    const std::vector<std::string_view> fields = split(text, '=');
    UnitEntry entry;
    entry.mark = fields[0];
    if (fields.size() > 1) entry.name = fields[1];
    if (fields.size() > 2) entry.coefficient = fields[2];
    if (fields.size() > 3) entry.dimension = fields[3];
    return entry;
}

// An exponent as the information text writes it, wrapped into 8 bits as
// all dimension arithmetic is.
int8_t read_exponent(std::string_view text) {
    const long double value = parse_value(text);
    if (!(std::fabs(value) < 1e18L)) return 0;
    return static_cast<int8_t>(static_cast<uint8_t>(ext_integer(value) & 0xFF));
}

void fill_from_entry(CompositionItem &item, const UnitEntry &entry) {
    item.name = std::string(entry.name);
    item.coefficient = parse_value(entry.coefficient);
    if (entry.dimension.empty()) return;
    const std::vector<std::string_view> exponents = split(entry.dimension, ',');
    for (size_t axis = 0; axis < exponents.size() && axis < kAxes; ++axis)
        item.dimension.Exponent[axis] = read_exponent(exponents[axis]);
}

void recognise_prefix(CompositionItem &item) {
    item.prefix = 0;
    const std::string name = lower_cyrillic(item.name);
    for (uint8_t row = 1; row < kPrefixCount; ++row) {
        const Prefix &prefix = kPrefixes[row];
        if (!name.starts_with(lower_cyrillic(prefix.name))) continue;
        item.name.erase(0, prefix.name.size());
        // The mark loses as many characters as the prefix mark has, whether
        // or not it starts with it: the name is what tells the prefix.
        item.mark.erase(0, std::min(item.mark.size(), prefix.mark.size()));
        item.coefficient /= prefix.multiplier;
        item.prefix = row;
        return;
    }
}

std::string side_mark(const std::vector<CompositionItem> &items, bool numerator) {
    std::string text;
    bool first = true;
    for (const CompositionItem &item : items) {
        if (item.numerator != numerator) continue;
        if (!first) text += '*';
        first = false;
        // A prefix belongs to the last word of a mark of several words.
        std::string mark = item.mark;
        const size_t space = mark.rfind(' ');
        mark.insert(space == std::string::npos ? 0 : space + 1, kPrefixes[item.prefix].mark);
        text += mark;
        if (item.power != 1) text += "^" + std::to_string(item.power);
    }
    return text;
}

// Integer power by repeated squaring.
long double integer_power(long double base, int power) {
    long double result = 1;
    for (unsigned n = static_cast<unsigned>(power < 0 ? -power : power); n; n >>= 1, base *= base)
        if (n & 1) result *= base;
    return power < 0 ? 1 / result : result;
}

}  // namespace

std::vector<CompositionItem> parse_composition(std::string_view mark) {
    std::string text;
    for (char c : mark)
        if (c != '(' && c != ')') text += c;
    std::vector<CompositionItem> items;
    const std::vector<std::string_view> sides = split(text, '/');
    if (sides.size() > 2) {
        set_result(kBadFormat);
        return items;
    }
    if (read_factors(sides[0], true, items) && sides.size() == 2) read_factors(sides[1], false, items);
    return items;
}

void correct_composition(std::vector<CompositionItem> &items, std::string_view information) {
    std::vector<UnitEntry> entries;
    for (std::string_view text : split(information, ';')) entries.push_back(read_entry(text));
    for (CompositionItem &item : items) {
        for (const UnitEntry &entry : entries) {
            if (entry.mark != item.mark) continue;
            fill_from_entry(item, entry);
            break;
        }
        recognise_prefix(item);
        item.mark = cut(item.mark, kUnitMarkCapacity);
        item.name = cut(item.name, kUnitNameCapacity);
    }
    for (CompositionItem &item : items) item.category = category_of(item.dimension);
}

std::string composition_mark(const std::vector<CompositionItem> &items) {
    const std::string upper = side_mark(items, true);
    const bool below = std::any_of(items.begin(), items.end(), [](auto &item) { return !item.numerator; });
    if (!below) return upper;
    std::string lower = side_mark(items, false);
    if (lower.find('*') != std::string::npos) lower = "(" + lower + ")";
    return upper + "/" + lower;
}

std::string composition_unit_list(const std::vector<CompositionItem> &items) {
    std::string text;
    for (const CompositionItem &item : items) {
        if (&item != &items.front()) text += ';';
        text += item.mark;
    }
    return text;
}

long double composition_multiplier(const std::vector<CompositionItem> &items) {
    long double multiplier = 1;
    for (const CompositionItem &item : items) {
        const long double factor = kPrefixes[item.prefix].multiplier * item.coefficient;
        // A unit worth nothing makes the whole unit worthless; dividing by
        // it would only give an infinity.
        if (factor == 0) return 0;
        const long double power = integer_power(factor, item.power);
        multiplier = item.numerator ? multiplier * power : multiplier / power;
    }
    return multiplier;
}

Dimension composition_dimension(const std::vector<CompositionItem> &items) {
    Dimension total = {};
    for (const CompositionItem &item : items) {
        const Dimension part = dim_multiple(item.dimension, item.power);
        total = item.numerator ? dim_sum(total, part) : dim_difference(total, part);
    }
    return total;
}

std::string prefix_list() {
    std::string text;
    for (const Prefix &prefix : kPrefixes) {
        if (&prefix != &kPrefixes.front()) text += ';';
        text += lower_cyrillic(prefix.name);
    }
    return text;
}

CompositionItem *find_item(std::vector<CompositionItem> &items, std::string_view mark) {
    for (CompositionItem &item : items)
        if (item.mark == mark) return &item;
    return nullptr;
}

}  // namespace solver
