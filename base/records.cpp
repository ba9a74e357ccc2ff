#include "records.h"

#include <cstdio>
#include <cstdlib>

namespace base {
namespace {

std::size_t record_size(ObjectKind kind) {
    switch (kind) {
        case okGroup:
            return sizeof(Group);
        case okComplex:
            return sizeof(Complex);
        case okFormula:
            return sizeof(Formula);
        case okDimensionClass:
            return sizeof(DimensionClass);
        case okQuantity:
            return sizeof(Quantity);
        case okMeasure:
            return sizeof(Measure);
        case okTie:
            return sizeof(Tie);
        case okConstant:
            return sizeof(Constant);
        case okVariable:
            return sizeof(Variable);
        case okPicture:
            return sizeof(Picture);
        default:
            return 0;
    }
}

constexpr ReferenceField kReferences[] = {
    {okGroup, okGroup, offsetof(Group, Parent), false},
    {okComplex, okGroup, offsetof(Complex, Group), true},
    {okComplex, okPicture, offsetof(Complex, Picture), false},
    {okFormula, okGroup, offsetof(Formula, Group), true},
    {okFormula, okComplex, offsetof(Formula, Complex), true},
    {okFormula, okPicture, offsetof(Formula, Picture), false},
    {okQuantity, okDimensionClass, offsetof(Quantity, DimensionClass), false},
    {okMeasure, okDimensionClass, offsetof(Measure, DimensionClass), false},
    {okTie, okQuantity, offsetof(Tie, Quantity), true},
    {okTie, okMeasure, offsetof(Tie, Measure), true},
    {okConstant, okTie, offsetof(Constant, Tie), false},
    {okVariable, okComplex, offsetof(Variable, Complex), true},
    {okVariable, okFormula, offsetof(Variable, Formula), true},
    {okVariable, okTie, offsetof(Variable, Tie), false},
};

void append_pointer(std::string &key, const void *pointer) {
    key.append(reinterpret_cast<const char *>(&pointer), sizeof pointer);
}

void append_folded(std::string &key, std::string_view text) {
    for (char c : text) key.push_back(fold_char(c));
}

}  // namespace

void *allocate_record(ObjectKind kind) {
    std::size_t size = record_size(kind);
    if (size == 0) return nullptr;
    void *object = std::calloc(1, size);
    if (!object) {
        std::fputs("Base: out of memory\n", stderr);
        std::abort();
    }
    return object;
}

void free_record(void *object) {
    std::free(object);
}

std::string fold_case(std::string_view text) {
    std::string folded;
    append_folded(folded, text);
    return folded;
}

std::string dimension_key(const DimensionClass &dimension) {
    std::string key(9, '\0');
    for (int i = 0; i < 9; ++i) key[i] = static_cast<char>(48 + dimension.Exponent[i]);
    return key;
}

std::span<const ReferenceField> reference_fields() {
    return kReferences;
}

bool has_identity(ObjectKind kind) {
    return valid_kind(kind) && kind != okPicture;
}

void identity_key(ObjectKind kind, const void *object, std::string &key) {
    key.clear();
    switch (kind) {
        case okGroup:
            append_folded(key, field_text(static_cast<const Group *>(object)->Name));
            break;
        case okComplex: {
            auto *complex = static_cast<const Complex *>(object);
            append_pointer(key, complex->Group);
            append_folded(key, field_text(complex->Name));
            break;
        }
        case okFormula: {
            auto *formula = static_cast<const Formula *>(object);
            append_pointer(key, formula->Group);
            append_pointer(key, formula->Complex);
            append_folded(key, field_text(formula->Content));
            break;
        }
        case okDimensionClass:
            key = dimension_key(*static_cast<const DimensionClass *>(object));
            break;
        case okQuantity:
            append_folded(key, field_text(static_cast<const Quantity *>(object)->Name));
            break;
        case okMeasure:
            key = field_text(static_cast<const Measure *>(object)->Mark);
            break;
        case okTie: {
            auto *tie = static_cast<const Tie *>(object);
            append_pointer(key, tie->Quantity);
            append_pointer(key, tie->Measure);
            break;
        }
        case okConstant:
            key = field_text(static_cast<const Constant *>(object)->Mark);
            break;
        case okVariable: {
            auto *variable = static_cast<const Variable *>(object);
            append_pointer(key, variable->Complex);
            append_pointer(key, variable->Formula);
            key.append(field_text(variable->Mark));
            break;
        }
        default:
            break;
    }
}

bool lookup_key(ObjectKind kind, std::string_view text, const void *first, const void *second,
                std::string &key) {
    key.clear();
    switch (kind) {
        case okGroup:
        case okQuantity:
            append_folded(key, text);
            return true;
        case okComplex:
            append_pointer(key, first);
            append_folded(key, text);
            return true;
        case okFormula:
            append_pointer(key, first);
            append_pointer(key, second);
            append_folded(key, text);
            return true;
        case okDimensionClass:
        case okMeasure:
        case okConstant:
            key = text;
            return true;
        case okTie:
            append_pointer(key, first);
            append_pointer(key, second);
            return true;
        case okVariable:
            append_pointer(key, first);
            append_pointer(key, second);
            key.append(text);
            return true;
        default:
            return false;
    }
}

void KindList::append(void *object) {
    items_.push_back(object);
    if (!has_identity(kind_)) return;
    identity_key(kind_, object, scratch_);
    filed_.push_back(scratch_);
    file(object, scratch_);
}

void *KindList::find(const std::string &key) {
    if (!has_identity(kind_)) return nullptr;
    bool stale = false;
    void *hit = lookup(key, stale);
    if (!stale) return hit;
    rebuild();
    return lookup(key, stale);
}

bool KindList::refresh() {
    if (!has_identity(kind_)) return false;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        identity_key(kind_, items_[i], scratch_);
        if (scratch_ != filed_[i]) {
            rebuild();
            return true;
        }
    }
    return false;
}

std::vector<void *> KindList::release() {
    filed_.clear();
    buckets_.clear();
    return std::exchange(items_, {});
}

void *KindList::lookup(const std::string &key, bool &stale) {
    auto bucket = buckets_.find(key);
    if (bucket == buckets_.end()) return nullptr;
    for (void *object : bucket->second) {
        identity_key(kind_, object, scratch_);
        if (scratch_ == key) return object;
        stale = true;
    }
    return nullptr;
}

void KindList::file(void *object, const std::string &key) {
    buckets_[key].push_back(object);
}

void KindList::unfile(void *object, const std::string &key) {
    auto bucket = buckets_.find(key);
    if (bucket == buckets_.end()) return;
    auto &objects = bucket->second;
    std::erase(objects, object);
    if (objects.empty()) buckets_.erase(bucket);
}

void KindList::rebuild() {
    buckets_.clear();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        identity_key(kind_, items_[i], filed_[i]);
        file(items_[i], filed_[i]);
    }
}

}  // namespace base
