// Reading the open base through the Base library's C interface.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base.h"

namespace textbase {

constexpr int kKindCount = 10;

// The name of a kind's array in the text form ("groups", ...), for kinds 1..10.
std::string_view array_name(ObjectKind kind);

// Every object of the kind, in list order.
std::vector<void *> select_all(ObjectKind kind);

// The text of a fixed field: up to its first zero byte or its end.
template <size_t N>
std::string_view field_text(const char (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length] != '\0') ++length;
    return std::string_view(field, length);
}

// Copies a text that fits (checked by the caller) into a zeroed field.
template <size_t N>
void set_field(char (&field)[N], std::string_view text) {
    std::fill(field, field + N, '\0');
    std::copy(text.begin(), text.begin() + std::min(text.size(), N - 1), field);
}

// The nine exponents as a key of a dimension class (all 256 values of each
// exponent are distinct characters; unlike the library's key, no NUL ends it).
std::string dimension_key(const int8_t (&exponent)[9]);

// A snapshot of the open base: each kind's list and every object's position in it.
class BaseSnapshot {
  public:
    BaseSnapshot();

    const std::vector<void *> &objects(ObjectKind kind) const { return lists_[kind - 1]; }
    // Position in its kind's list, or -1 when the object is not in the base.
    long position(ObjectKind kind, const void *object) const;
    bool contains(ObjectKind kind, const void *object) const { return object && position(kind, object) >= 0; }

  private:
    std::array<std::vector<void *>, kKindCount> lists_;
    std::array<std::unordered_map<const void *, long>, kKindCount> positions_;
};

// Identity keys: two objects of a kind are the same object exactly when
// their keys are equal.  References count by identity, texts as the rules
// say (names and contents with Cyrillic case folded, marks exactly).
std::string group_key(std::string_view name);
std::string complex_key(const Group *group, std::string_view name);
std::string formula_key(const Group *group, const Complex *complex, std::string_view content);
std::string quantity_key(std::string_view name);
std::string measure_key(std::string_view mark);
std::string tie_key(const Quantity *quantity, const Measure *measure);
std::string constant_key(std::string_view mark);
std::string variable_key(const Complex *complex, const Formula *formula, std::string_view mark);
// The key of any object of kinds 1..9; pictures never clash and have none.
std::optional<std::string> identity_key(ObjectKind kind, const void *object);
// What two clashing objects of the kind have in common, for messages.
std::string_view identity_rule(ObjectKind kind);

// Minimal number of (count, value) pairs the base file needs for a picture.
size_t picture_runs(const Picture &picture);
constexpr size_t kMaxPictureRuns = 3598;

}  // namespace textbase
