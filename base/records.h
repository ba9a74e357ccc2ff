// Records of the ten kinds: allocation, text fields, case folding, the
// dimension key, the reference graph and the identity rules with their index.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base.h"

namespace base {

// The library's own hash keeps the containers' code private to the library:
// instantiations over the standard hash alone would be exported with it.
template <class Key>
struct Hash {
    std::size_t operator()(const Key &key) const noexcept { return std::hash<Key>{}(key); }
};
template <class Key, class Value>
using HashMap = std::unordered_map<Key, Value, Hash<Key>>;
template <class Key>
using HashSet = std::unordered_set<Key, Hash<Key>>;

constexpr int kKindCount = 10;
constexpr std::size_t kListLimit = 65535;  // the 16-bit count of an ObjectList

inline bool valid_kind(int kind) {
    return kind >= okGroup && kind <= okPicture;
}

// Records are plain memory: the program copies them as whole structures and
// DisposeObject does not know the kind, so they come from calloc and go to free.
void *allocate_record(ObjectKind kind);
void free_record(void *object);

// A text field reads up to its first zero byte or to the end of the array.
template <std::size_t N>
std::string_view field_text(const char (&field)[N]) {
    return {field, strnlen(field, N)};
}

// Stores at most N - 1 characters and zero-fills the rest.
template <std::size_t N>
void set_field_text(char (&field)[N], std::string_view text) {
    std::memset(field, 0, N);
    if (!text.empty()) std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// Only the Cyrillic capitals (0xC0..0xDF) are folded.
inline char fold_char(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0xC0 && byte <= 0xDF ? static_cast<char>(byte + 0x20) : c;
}
std::string fold_case(std::string_view text);

// Nine characters, 48 + exponent (mod 256) each, in storage order.
std::string dimension_key(const DimensionClass &dimension);

// One reference field of the reference graph.
struct ReferenceField {
    ObjectKind holder;
    ObjectKind target;
    std::size_t offset;
    bool identity;  // part of the holder's identity rule
};
std::span<const ReferenceField> reference_fields();

// Pointer fields are read and written through memcpy: the generic code sees
// them as untyped pointers without aliasing the typed fields.
inline void *reference(const void *object, const ReferenceField &field) {
    void *target;
    std::memcpy(&target, static_cast<const char *>(object) + field.offset, sizeof target);
    return target;
}
inline void set_reference(void *object, const ReferenceField &field, void *target) {
    std::memcpy(static_cast<char *>(object) + field.offset, &target, sizeof target);
}

// The identity key of a record: two objects of a kind are the same exactly
// when their keys are equal.  Context pointers come first at fixed width, the
// (folded) text last, so keys of different fields never run into each other.
bool has_identity(ObjectKind kind);
void identity_key(ObjectKind kind, const void *object, std::string &key);
// The key FindUniqueObject looks for; false for kinds it never finds.
bool lookup_key(ObjectKind kind, std::string_view text, const void *first, const void *second,
                std::string &key);

// The objects of one kind in list order, with an index of their identity keys.
//
// The program edits stored records in place without telling the base, so the
// index is a hint that is checked against the records: every hit is compared
// with the record's current key, and a record found changed makes the whole
// kind re-filed from the records before the answer is given.  refresh() re-reads
// every record of the kind and is called by each query that scans the kind.
class KindList {
  public:
    explicit KindList(ObjectKind kind) : kind_(kind) {}
    KindList(const KindList &) = delete;
    KindList &operator=(const KindList &) = delete;

    ObjectKind kind() const { return kind_; }
    const std::vector<void *> &items() const { return items_; }
    std::size_t size() const { return items_.size(); }
    bool full() const { return items_.size() >= kListLimit; }

    void append(void *object);
    // The first object in list order filed under `key` whose record still has it.
    void *find(const std::string &key);
    // Re-files the kind when some record's key changed; true when one had.
    bool refresh();
    // Removes the listed objects, keeping the order of the others.
    template <class Removed>
    void remove_if(const Removed &removed);
    // Hands the records over and leaves the list empty.
    std::vector<void *> release();

  private:
    void *lookup(const std::string &key, bool &stale);
    void file(void *object, const std::string &key);
    void unfile(void *object, const std::string &key);
    void rebuild();

    ObjectKind kind_;
    std::vector<void *> items_;
    std::vector<std::string> filed_;  // the key each item is filed under, parallel to items_
    HashMap<std::string, std::vector<void *>> buckets_;
    std::string scratch_;
};

template <class Removed>
void KindList::remove_if(const Removed &removed) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (removed(items_[i])) {
            if (has_identity(kind_)) unfile(items_[i], filed_[i]);
            continue;
        }
        items_[kept] = items_[i];
        if (has_identity(kind_)) filed_[kept] = std::move(filed_[i]);
        ++kept;
    }
    items_.resize(kept);
    if (has_identity(kind_)) filed_.resize(kept);
}

}  // namespace base
