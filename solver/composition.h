// Composite units: a mark such as кг*м^2/с^2 read into its units, each with
// a power, a place above or below the bar and a decimal prefix.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "solver.h"

namespace solver {

constexpr size_t kUnitMarkCapacity = 25;
constexpr size_t kUnitNameCapacity = 75;

struct Prefix {
    std::string_view name;
    std::string_view mark;
    long double multiplier;
};

// Row 0 is "no prefix".  The order decides between names that begin alike:
// Дека is tried before Деци.
constexpr size_t kPrefixCount = 17;
extern const std::array<Prefix, kPrefixCount> kPrefixes;

// Naming categories of a unit, from its own dimension.
enum UnitCategory : uint8_t {
    kOtherUnit = 0,
    kLengthUnit = 1,  // a non-zero length exponent and nothing else
    kTimeUnit = 2,    // exactly time to the first power
};

struct CompositionItem {
    std::string mark;
    std::string name;
    // A unit the information text does not describe converts as 1.
    long double coefficient = 1;
    int8_t power = 1;
    bool numerator = true;
    uint8_t prefix = 0;
    uint8_t category = kOtherUnit;
    Dimension dimension = {};
};

// Reads a composite mark; sets the result register on a fault and keeps
// the units read up to and including the faulty one.
std::vector<CompositionItem> parse_composition(std::string_view mark);

// Fills the items from "mark=name=coefficient=e1,...,e9;..." and recognises
// prefixes by the units' names.
void correct_composition(std::vector<CompositionItem> &items, std::string_view information);

std::string composition_mark(const std::vector<CompositionItem> &items);
std::string composition_unit_list(const std::vector<CompositionItem> &items);
long double composition_multiplier(const std::vector<CompositionItem> &items);
Dimension composition_dimension(const std::vector<CompositionItem> &items);
std::string prefix_list();

// The first item with exactly this mark, or null.
CompositionItem *find_item(std::vector<CompositionItem> &items, std::string_view mark);

}  // namespace solver

struct SolverComposition {
    std::vector<solver::CompositionItem> items;
};
