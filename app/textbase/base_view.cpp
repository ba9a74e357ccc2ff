#include "base_view.h"

#include <algorithm>
#include <memory>

#include "encoding.h"

namespace textbase {

std::string_view array_name(ObjectKind kind) {
    static constexpr std::array<std::string_view, kKindCount> names = {
        "groups",   "complexes", "formulas",  "dimensions", "quantities",
        "measures", "ties",      "constants", "variables",  "pictures"};
    return kind >= 1 && kind <= kKindCount ? names[kind - 1] : "objects";
}

std::vector<void *> select_all(ObjectKind kind) {
    // A result list is half a megabyte: on the heap, never on the stack.
    auto list = std::make_unique<ObjectList>();
    list->Count = 0;
    ObjectList *out = list.get();
    SelectAll(kind, &out);
    return std::vector<void *>(list->Items, list->Items + list->Count);
}

std::string dimension_key(const int8_t (&exponent)[9]) {
    return std::string(reinterpret_cast<const char *>(exponent), 9);
}

BaseSnapshot::BaseSnapshot() {
    for (int kind = 1; kind <= kKindCount; ++kind) {
        lists_[kind - 1] = select_all(static_cast<ObjectKind>(kind));
        auto &positions = positions_[kind - 1];
        const auto &list = lists_[kind - 1];
        for (size_t i = 0; i < list.size(); ++i) positions.emplace(list[i], static_cast<long>(i));
    }
}

long BaseSnapshot::position(ObjectKind kind, const void *object) const {
    if (kind < 1 || kind > kKindCount) return -1;
    const auto &positions = positions_[kind - 1];
    const auto found = positions.find(object);
    return found == positions.end() ? -1 : found->second;
}

namespace {

std::string reference(const void *object) {
    return std::string(reinterpret_cast<const char *>(&object), sizeof object);
}

}  // namespace

std::string group_key(std::string_view name) {
    return fold_case(name);
}
std::string complex_key(const Group *group, std::string_view name) {
    return reference(group) + fold_case(name);
}
std::string formula_key(const Group *group, const Complex *complex, std::string_view content) {
    return reference(group) + reference(complex) + fold_case(content);
}
std::string quantity_key(std::string_view name) {
    return fold_case(name);
}
std::string measure_key(std::string_view mark) {
    return std::string(mark);
}
std::string tie_key(const Quantity *quantity, const Measure *measure) {
    return reference(quantity) + reference(measure);
}
std::string constant_key(std::string_view mark) {
    return std::string(mark);
}
std::string variable_key(const Complex *complex, const Formula *formula, std::string_view mark) {
    return reference(complex) + reference(formula) + std::string(mark);
}

std::optional<std::string> identity_key(ObjectKind kind, const void *object) {
    switch (kind) {
        case okGroup:
            return group_key(field_text(static_cast<const Group *>(object)->Name));
        case okComplex: {
            const auto *c = static_cast<const Complex *>(object);
            return complex_key(c->Group, field_text(c->Name));
        }
        case okFormula: {
            const auto *f = static_cast<const Formula *>(object);
            return formula_key(f->Group, f->Complex, field_text(f->Content));
        }
        case okDimensionClass:
            return dimension_key(static_cast<const DimensionClass *>(object)->Exponent);
        case okQuantity:
            return quantity_key(field_text(static_cast<const Quantity *>(object)->Name));
        case okMeasure:
            return measure_key(field_text(static_cast<const Measure *>(object)->Mark));
        case okTie: {
            const auto *t = static_cast<const Tie *>(object);
            return tie_key(t->Quantity, t->Measure);
        }
        case okConstant:
            return constant_key(field_text(static_cast<const Constant *>(object)->Mark));
        case okVariable: {
            const auto *v = static_cast<const Variable *>(object);
            return variable_key(v->Complex, v->Formula, field_text(v->Mark));
        }
        default:
            return std::nullopt;
    }
}

std::string_view identity_rule(ObjectKind kind) {
    switch (kind) {
        case okGroup:
            return "the same name, Cyrillic case folded";
        case okComplex:
            return "the same name, Cyrillic case folded, in the same group";
        case okFormula:
            return "the same content, Cyrillic case folded, in the same group and complex";
        case okDimensionClass:
            return "the same nine exponents";
        case okQuantity:
            return "the same name, Cyrillic case folded";
        case okMeasure:
            return "the same mark";
        case okTie:
            return "the same quantity and measure";
        case okConstant:
            return "the same mark";
        case okVariable:
            return "the same mark in the same formula and complex";
        default:
            return "";
    }
}

size_t picture_runs(const Picture &picture) {
    size_t runs = 0;
    for (size_t i = 0; i < PICTURE_SIZE;) {
        size_t j = i;
        while (j < PICTURE_SIZE && j - i < 255 && picture.Bits[j] == picture.Bits[i]) ++j;
        ++runs;
        i = j;
    }
    return runs;
}

}  // namespace textbase
